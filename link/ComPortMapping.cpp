#include "link/ComPortMapping.h"

#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <array>
#include <tuple>

namespace {

const char *const kOverrideVariable = "REVERTEX_COM";

// The families that come first, in this order; any other follows, by name.
const std::array<QLatin1String, 3> kFamilyOrder{{
    QLatin1String("ttyS"),     // motherboard UARTs
    QLatin1String("ttyUSB"),   // USB adapters: FTDI, Prolific, CH340, CP210x
    QLatin1String("ttyACM"),   // CDC-ACM adapters
}};

struct SortKey {
    int familyRank;
    QString family;
    qint64 number;   // -1 when the name has none
    QString name;

    bool operator<(const SortKey &other) const
    {
        return std::tie(familyRank, family, number, name) < std::tie(other.familyRank, other.family, other.number, other.name);
    }
};

// "/dev/ttyUSB12" -> ttyUSB, 12: numbers compare as numbers, so ttyUSB10 follows ttyUSB9.
SortKey sortKeyOf(const QString &device)
{
    static const QRegularExpression familyAndNumber(QStringLiteral("^(.*?)(\\d+)$"));
    const QString name = device.mid(device.lastIndexOf(QLatin1Char('/')) + 1);
    SortKey key{int(kFamilyOrder.size()), name, -1, name};
    const QRegularExpressionMatch match = familyAndNumber.match(name);
    if (match.hasMatch()) {
        key.family = match.captured(1);
        key.number = match.captured(2).toLongLong();
    }
    for (std::size_t rank = 0; rank < kFamilyOrder.size(); ++rank)
        if (key.family == kFamilyOrder[rank])
            key.familyRank = int(rank);
    return key;
}

const SerialPortDescription *findByDevice(const QList<SerialPortDescription> &ports, const QString &device)
{
    for (const SerialPortDescription &port : ports)
        if (port.device == device)
            return &port;
    return nullptr;
}

} // namespace

QList<SerialPortDescription> portsInComOrder(QList<SerialPortDescription> present)
{
    present.erase(std::remove_if(present.begin(), present.end(),
                                 [](const SerialPortDescription &port) { return !port.hasHardware || port.device.isEmpty(); }),
                  present.end());
    std::stable_sort(present.begin(), present.end(), [](const SerialPortDescription &a, const SerialPortDescription &b) {
        return sortKeyOf(a.device) < sortKeyOf(b.device);
    });
    return present;
}

ComPortAssignment assignComPort(qint16 number, const QList<SerialPortDescription> &present,
                                const ComPortOverride &override, ComPortNaming naming)
{
    ComPortAssignment assignment;
    assignment.number = number;

    const SerialPortDescription *port = nullptr;
    if (!override.device.isEmpty()) {
        assignment.device = override.device;
        assignment.overrideVariable = QString::fromLatin1(kOverrideVariable) + QString::number(number);
        port = findByDevice(present, override.resolved.isEmpty() ? override.device : override.resolved);
    } else if (naming == ComPortNaming::ByName) {
        assignment.device = QStringLiteral("COM%1").arg(number);
        port = findByDevice(present, assignment.device);
    } else {
        const QList<SerialPortDescription> ordered = portsInComOrder(present);
        if (number >= 1 && number <= ordered.size()) {
            port = &ordered[number - 1];
            assignment.device = port->device;
            assignment.known = true;
            assignment.port = *port;
            return assignment;
        }
    }
    if (port) {
        assignment.known = true;
        assignment.port = *port;
    }
    return assignment;
}

QString describeComPort(const ComPortAssignment &assignment)
{
    if (assignment.device.isEmpty())
        return QStringLiteral("no port");

    QString text = assignment.device;
    if (!assignment.overrideVariable.isEmpty())
        text += QStringLiteral(" (set by %1)").arg(assignment.overrideVariable);
    if (!assignment.known)
        return text;

    QStringList facts;
    if (!assignment.port.description.isEmpty())
        facts << assignment.port.description;
    if (!assignment.port.manufacturer.isEmpty())
        facts << QStringLiteral("maker %1").arg(assignment.port.manufacturer);
    if (!assignment.port.serialNumber.isEmpty())
        facts << QStringLiteral("serial number %1").arg(assignment.port.serialNumber);
    if (!facts.isEmpty())
        text += QStringLiteral(": ") + facts.join(QStringLiteral(", "));
    return text;
}

QString comPortTableText(const QList<ComPortAssignment> &assignments)
{
    QString table;
    for (const ComPortAssignment &assignment : assignments)
        table += QStringLiteral("COM %1  %2\n").arg(assignment.number, 2).arg(describeComPort(assignment));
    return table;
}
