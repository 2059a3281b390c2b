#include "app/CommandLine.h"

#include "link/ComPortCount.h"

namespace {

const QString kFirmwareOption = QStringLiteral("--firmware");
const QString kLogOption = QStringLiteral("--log");

} // namespace

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

WizardArguments wizardArgumentsFrom(const QStringList &arguments)
{
    WizardArguments result;
    QStringList files;
    bool optionUsed = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == kFirmwareOption) {
            if (i + 1 == arguments.size()) {
                result.error = QStringLiteral("--firmware needs the name of a firmware file");
                return result;
            }
            files << arguments[++i];
            optionUsed = true;
        } else if (argument.startsWith(kFirmwareOption + QLatin1Char('='))) {
            files << argument.mid(kFirmwareOption.size() + 1);
            optionUsed = true;
        } else if (argument == kLogOption || argument.startsWith(kLogOption + QLatin1Char('='))) {
            const bool separate = argument == kLogOption;
            if (separate && i + 1 == arguments.size()) {
                result.error = QStringLiteral("--log needs the name of a file");
                return result;
            }
            result.logFile = separate ? arguments[++i] : argument.mid(kLogOption.size() + 1);
            if (result.logFile.isEmpty()) {
                result.error = QStringLiteral("--log needs the name of a file");
                return result;
            }
        } else if (argument.startsWith(QLatin1Char('-'))) {
            result.error = QStringLiteral("unknown option %1").arg(argument);
            return result;
        } else {
            files << argument;
        }
    }
    if (files.size() > 1) {
        result.error = QStringLiteral("one firmware file at a time, not %1 (%2)").arg(files.size()).arg(files.join(QStringLiteral(", ")));
        return result;
    }
    if (files.size() == 1 && files.first().isEmpty()) {
        result.error = QStringLiteral("--firmware needs the name of a firmware file");
        return result;
    }
    result.firmwareFile = files.value(0);
    result.fileOnly = !optionUsed && !result.firmwareFile.isEmpty();
    return result;
}

QString helpText()
{
    return QStringLiteral(
        "Usage: revertex [--log FILE] [--firmware FILE | FILE]\n"
        "       revertex --list-ports | --help\n"
        "Reflashes the firmware of a PictureTel PTZ 2 camera over a serial port.\n"
        "\n"
        "The camera's firmware does not come with Revertex: name the file that holds it,\n"
        "or choose it in the file dialog that opens when none is named (a build made with\n"
        "-DREVERTEX_FIRMWARE carries its own). The file is the camera's Windows flash\n"
        "program (an .exe that holds the firmware as its resource CUSTOM/101), an Intel HEX\n"
        "file, a raw MCS-51 image or a firmware container; it is checked to the last byte\n"
        "before the wizard opens.\n"
        "\n"
        "  --firmware FILE  flash the firmware in FILE (also: FILE alone)\n"
        "  --log FILE       write every frame sent and every reply received to FILE\n"
        "  --list-ports     print the device behind each COM port 1 to %1, and exit\n"
        "  -h, --help       print this help, and exit\n"
        "\n"
        "On Linux, COM n is the device named by the environment variable REVERTEX_COM<n>\n"
        "when it is set, otherwise the n-th serial port present: the motherboard ports\n"
        "(/dev/ttyS*) first, then USB adapters (/dev/ttyUSB*), then ACM adapters\n"
        "(/dev/ttyACM*), each by number. On Windows, COM n is COMn.\n"
        "\n"
        "Exit status: 0 when the wizard was closed (or the file dialog cancelled), 1 after\n"
        "a run-time error, 2 when the command line is wrong or the file named with\n"
        "--firmware is refused (the reason goes to standard error). A FILE given alone\n"
        "(dropped on the program, or \"Open with\") that is refused is shown in a message\n"
        "box, and the file dialog offers another.\n"
        "\n"
        "Qt's own options (-platform, -style, ...) are passed on to Qt.\n")
        .arg(kComPortCount);
}
