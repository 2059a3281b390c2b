#include "app/CommandLine.h"

StartRequest startRequestFrom(const QStringList &arguments)
{
    // Help wins wherever it stands, so "--list-ports --help" explains rather than acts.
    StartRequest request = StartRequest::Window;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return StartRequest::Help;
        if (argument == QLatin1String("--list-ports"))
            request = StartRequest::ListPorts;
    }
    return request;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: revertex [--list-ports | --help]\n"
        "Reflashes the firmware of a PictureTel PTZ 2 camera over a serial port.\n"
        "Without options it opens the wizard.\n"
        "\n"
        "  --list-ports   print the device behind each COM port 1 to 16, and exit\n"
        "  -h, --help     print this help, and exit\n"
        "\n"
        "On Linux, COM n is the device named by the environment variable REVERTEX_COM<n>\n"
        "when it is set, otherwise the n-th serial port present: the motherboard ports\n"
        "(/dev/ttyS*) first, then USB adapters (/dev/ttyUSB*), then ACM adapters\n"
        "(/dev/ttyACM*), each by number. On Windows, COM n is COMn.\n"
        "\n"
        "Qt's own options (-platform, -style, ...) are passed on to Qt.\n");
}
