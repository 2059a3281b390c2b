// Windows: COM n is the port named "COMn", whatever else is present.
#include "link/ComPortsPresent.h"

#include <windows.h>

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

ComPortOverride comPortOverride(qint16 number)
{
    Q_UNUSED(number);
    return {};
}

ComPortNaming comPortNaming()
{
    return ComPortNaming::ByName;
}
