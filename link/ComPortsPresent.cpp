#include "link/ComPortsPresent.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QSerialPortInfo>
#endif

#include <algorithm>

namespace {

#ifdef Q_OS_WIN
constexpr ComPortNaming kNaming = ComPortNaming::ByName;
#else
constexpr ComPortNaming kNaming = ComPortNaming::ByOrder;
#endif

const char *const kOverrideVariable = "REVERTEX_COM";

#ifdef Q_OS_LINUX
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
#endif

} // namespace

#ifdef Q_OS_WIN
// Windows lists its serial ports in the registry, as "\Device\Serial0" = "COM1" (the
// value's name is the driver's device, its data the COM name). Qt Serial Port is not
// used on Windows, so this is where the ports present come from. A machine without
// the key has no serial port.
QList<SerialPortDescription> serialPortsPresent()
{
    QList<SerialPortDescription> ports;
    HKEY map = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        wchar_t name[256];
        wchar_t data[64];
        DWORD nameLength = sizeof name / sizeof name[0];
        DWORD dataBytes = sizeof data - sizeof data[0];   // room for the terminator
        DWORD type = 0;
        const LONG status = RegEnumValueW(map, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE *>(data), &dataBytes);
        if (status == ERROR_NO_MORE_ITEMS)
            break;
        if (status != ERROR_SUCCESS || type != REG_SZ)
            continue;   // a value too long or of another type names no COM port
        data[dataBytes / sizeof data[0]] = L'\0';
        const QString com = QString::fromWCharArray(data).trimmed();
        if (!com.isEmpty())
            ports.append(SerialPortDescription{com, QString::fromWCharArray(name, int(nameLength)), QString(), QString(), true});
    }
    RegCloseKey(map);
    return ports;
}
#else
QList<SerialPortDescription> serialPortsPresent()
{
    QList<SerialPortDescription> ports;
    const QList<QSerialPortInfo> available = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : available) {
        SerialPortDescription port{info.systemLocation(), info.description(), info.manufacturer(), info.serialNumber(), true};
#ifdef Q_OS_LINUX
        if (isUartName(info.portName()))
            port.hasHardware = uartTypeOf(info.portName()) != kUnknownUartType;
#endif
        ports.append(port);
    }
#ifdef Q_OS_LINUX
    addUartsQtLeftOut(ports);
#endif
    return ports;
}
#endif

ComPortOverride comPortOverride(qint16 number)
{
#ifdef Q_OS_WIN
    Q_UNUSED(number);
    return {};
#else
    const QString device = qEnvironmentVariable((kOverrideVariable + QByteArray::number(number)).constData());
    if (device.isEmpty())
        return {};
    return {device, QFileInfo(device).canonicalFilePath()};
#endif
}

ComPortAssignment currentComPort(qint16 number)
{
    return assignComPort(number, serialPortsPresent(), comPortOverride(number), kNaming);
}

QList<ComPortAssignment> currentComPorts(qint16 count)
{
    const QList<SerialPortDescription> present = serialPortsPresent();
    QList<ComPortAssignment> assignments;
    for (qint16 number = 1; number <= count; ++number)
        assignments.append(assignComPort(number, present, comPortOverride(number), kNaming));
    return assignments;
}
