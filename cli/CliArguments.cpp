#include "cli/CliArguments.h"

#include "cli/Outcome.h"

namespace {

// Options that take a value, as "--name VALUE" or "--name=VALUE".
bool takeValue(const QStringList &arguments, qsizetype &i, const QString &name, QString *value, QString *error)
{
    const QString &argument = arguments[i];
    if (argument == name) {
        if (i + 1 == arguments.size()) {
            *error = QStringLiteral("%1 needs the name of a file").arg(name);
            return true;
        }
        *value = arguments[++i];
    } else if (argument.startsWith(name + QLatin1Char('='))) {
        *value = argument.mid(name.size() + 1);
    } else {
        return false;
    }
    if (value->isEmpty())
        *error = QStringLiteral("%1 needs the name of a file").arg(name);
    return true;
}

} // namespace

CliArguments cliArgumentsFrom(const QStringList &arguments)
{
    CliArguments result;
    QStringList words;
    for (qsizetype i = 1; i < arguments.size() && result.error.isEmpty(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
            return CliArguments{};   // help wins wherever it stands
        if (takeValue(arguments, i, QStringLiteral("--firmware"), &result.firmwareFile, &result.error)
            || takeValue(arguments, i, QStringLiteral("--log"), &result.logFile, &result.error))
            continue;
        if (argument == QLatin1String("--force"))
            result.force = true;
        else if (argument == QLatin1String("--yes") || argument == QLatin1String("-y"))
            result.yes = true;
        else if (argument == QLatin1String("--json"))
            result.json = true;
        else if (argument.startsWith(QLatin1Char('-')) && argument.size() > 1)
            result.error = QStringLiteral("unknown option %1").arg(argument);
        else
            words << argument;
    }
    if (!result.error.isEmpty())
        return result;
    if (words.isEmpty()) {
        result.error = QStringLiteral("name a command: check, flash or ports");
        return result;
    }

    const QString command = words.takeFirst();
    if (command == QLatin1String("ports"))
        result.command = CliCommand::Ports;
    else if (command == QLatin1String("check"))
        result.command = CliCommand::Check;
    else if (command == QLatin1String("flash"))
        result.command = CliCommand::Flash;
    else {
        result.error = QStringLiteral("unknown command %1: check, flash or ports").arg(command);
        return result;
    }

    if (result.command == CliCommand::Ports) {
        if (!words.isEmpty())
            result.error = QStringLiteral("ports takes no port");
        return result;
    }
    if (words.isEmpty()) {
        result.error = QStringLiteral("%1 needs at least one port").arg(command);
        return result;
    }
    for (const QString &word : words) {
        NamedPort named;
        if (!parseNamedPort(word, &named, &result.error))
            return result;
        for (const NamedPort &earlier : result.ports) {
            if (earlier.label() == named.label()) {
                result.error = QStringLiteral("%1 is named twice").arg(named.label());
                return result;
            }
        }
        result.ports << named;
    }
    return result;
}

QString cliHelpText()
{
    QString text = QStringLiteral(
        "Usage: revertex-cli check [--json] [--log FILE] PORT...\n"
        "       revertex-cli flash [--firmware FILE] [--force] [--yes] [--json] [--log FILE] PORT...\n"
        "       revertex-cli ports\n"
        "Checks and reflashes PictureTel PTZ 2 cameras over serial ports, several at once.\n"
        "\n"
        "  check            ask each camera for its firmware version\n"
        "  flash            check, then flash each camera that needs it\n"
        "  ports            print the device behind each COM port 1 to 16\n"
        "\n"
        "  --firmware FILE  the firmware to flash: the camera's Windows flash program, an\n"
        "                   Intel HEX file, a raw image or a firmware container\n"
        "  --force          flash also a camera that already runs 3.46 or is not recognised\n"
        "  -y, --yes        flash without asking (needed when no terminal can be asked)\n"
        "  --json           one JSON object per event on standard output\n"
        "  --log FILE       write every frame sent and every reply received to FILE\n"
        "  -h, --help       print this help, and exit\n"
        "\n"
        "PORT is a COM number 1 to 16 (also COMn), mapped to a device as the wizard maps it\n"
        "(revertex-cli ports shows how), or a device path such as /dev/ttyUSB0.\n"
        "\n"
        "Ctrl-C during a check stops at once. During a download it asks for a second\n"
        "Ctrl-C within 3 seconds: stopping then leaves the camera without firmware.\n"
        "\n"
        "Exit status (with several ports, the worst outcome decides):\n");
    int last = -1;
    for (const OutcomeRow &row : outcomeTable()) {
        if (row.exitStatus == last)
            continue;
        last = row.exitStatus;
        text += QStringLiteral("  %1  %2\n").arg(row.exitStatus).arg(QString::fromLatin1(row.meaning));
    }
    return text;
}
