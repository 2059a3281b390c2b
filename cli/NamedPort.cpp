#include "cli/NamedPort.h"

#include "link/ComPortCount.h"

#include <QRegularExpression>

QString NamedPort::label() const
{
    return comNumber ? QStringLiteral("COM%1").arg(comNumber) : device;
}

bool parseNamedPort(const QString &given, NamedPort *named, QString *error)
{
    static const QRegularExpression comNumber(QStringLiteral("^(?:COM)?([0-9]{1,5})$"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = comNumber.match(given);
    if (match.hasMatch()) {
        const int number = match.captured(1).toInt();
        if (number < 1 || number > kComPortCount) {
            *error = QStringLiteral("%1: a COM port is numbered 1 to %2").arg(given).arg(kComPortCount);
            return false;
        }
        *named = NamedPort{qint16(number), QString()};
        return true;
    }
    if (given.contains(QLatin1Char('/')) || given.contains(QLatin1Char('\\'))) {
        *named = NamedPort{0, given};
        return true;
    }
    *error = QStringLiteral("%1: name a port by its COM number (1 to %2, or COMn) or by its device path")
                 .arg(given)
                 .arg(kComPortCount);
    return false;
}
