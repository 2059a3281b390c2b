// Linux and other POSIX systems: COM n is the n-th serial port Qt Serial Port lists,
// unless REVERTEX_COM<n> names a device.
#include "link/ComPortsPresent.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSerialPortInfo>

#include <algorithm>

namespace {

const char *const kOverrideVariable = "REVERTEX_COM";

// Linux tells in sysfs whether a ttyS port has a UART behind it. A system without that
// directory has none of these files, and every port counts as having hardware.
const char *const kTtyClassDirectory = "/sys/class/tty";
constexpr int kUnknownUartType = 0;   // PORT_UNKNOWN: the kernel found no UART there

// The UART type the kernel gives a ttyS port; -1 when it gives none.
int uartTypeOf(const QString &name)
{
    QFile type(QStringLiteral("%1/%2/type").arg(QLatin1String(kTtyClassDirectory), name));
    if (!type.open(QIODevice::ReadOnly))
        return -1;
    bool isNumber = false;
    const int value = type.readAll().trimmed().toInt(&isNumber);
    return isNumber ? value : -1;
}

bool isUartName(const QString &name)
{
    return name.startsWith(QLatin1String("ttyS")) && name.size() > 4 && name.at(4).isDigit();
}

// Qt leaves out a UART it cannot open, as for a user not yet allowed to; it is there all
// the same, and leaving it out would move every other port to another COM number.
void addUartsQtLeftOut(QList<SerialPortDescription> &ports)
{
    const QStringList names = QDir(QLatin1String(kTtyClassDirectory)).entryList({QStringLiteral("ttyS*")}, QDir::AllEntries | QDir::System);
    for (const QString &name : names) {
        const QString device = QStringLiteral("/dev/") + name;
        const bool listed = std::any_of(ports.cbegin(), ports.cend(),
                                        [&device](const SerialPortDescription &port) { return port.device == device; });
        if (!listed && isUartName(name) && uartTypeOf(name) > kUnknownUartType && QFileInfo::exists(device))
            ports.append({device, QString(), QString(), QString(), true});
    }
}

} // namespace

QList<SerialPortDescription> serialPortsPresent()
{
    QList<SerialPortDescription> ports;
    const QList<QSerialPortInfo> available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available) {
        SerialPortDescription port{info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber(), true};
        if (isUartName(info.portName()))
            port.hasHardware = uartTypeOf(info.portName()) != kUnknownUartType;
        ports.append(port);
    }
    addUartsQtLeftOut(ports);
    return ports;
}

ComPortOverride comPortOverride(qint16 number)
{
    const QString device = qEnvironmentVariable((kOverrideVariable + QByteArray::number(number)).constData());
    if (device.isEmpty())
        return {};
    return {device, QFileInfo(device).canonicalFilePath()};
}

ComPortNaming comPortNaming()
{
    return ComPortNaming::ByOrder;
}
