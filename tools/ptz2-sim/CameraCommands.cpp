#include "CameraCommands.h"

#include <array>

namespace CameraCommands {

namespace {

struct KnownCommand {
    const char *name;
    const char *bytes;   // between STX and EOT
};

constexpr std::array<KnownCommand, 10> kCommands{{
    {"QGt", "QGt"},
    {"ckkV", "ckkV"},
    {"cki0n", "cki0n"},
    {"ckb0", "ckb0"},
    {"ckl0", "ckl0"},
    {"ckz0m", "ckz0m"},
    {"cDd0k3", "cDd0k3"},
    {"cDr0k", "cDr0k"},
    {"ckk", "ckk"},
    {"ckd0", "ckd0\xF2"},
}};

constexpr char kLineHead[] = "ckw";

} // namespace

bool isLine(const QByteArray &command)
{
    return command.startsWith(kLineHead);
}

QString knownName(const QByteArray &command)
{
    if (isLine(command))
        return kLine;
    for (const KnownCommand &known : kCommands) {
        if (command == QByteArray(known.bytes))
            return QString::fromLatin1(known.name);
    }
    return {};
}

QString displayName(const QByteArray &command)
{
    const QString name = knownName(command);
    if (!name.isEmpty())
        return name;
    QString shown = QStringLiteral("?");
    for (char byte : command) {
        const auto value = static_cast<unsigned char>(byte);
        if (value > 0x20 && value < 0x7F && value != '\\')
            shown.append(QLatin1Char(byte));
        else
            shown.append(QStringLiteral("\\x%1").arg(value, 2, 16, QLatin1Char('0')));
    }
    return shown;
}

QStringList knownNames()
{
    QStringList names;
    for (const KnownCommand &known : kCommands)
        names.append(QString::fromLatin1(known.name));
    names.append(kLine);
    return names;
}

} // namespace CameraCommands
