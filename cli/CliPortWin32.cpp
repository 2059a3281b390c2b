#include "cli/CliPort.h"

#include "link/SerialPortFactory.h"

std::unique_ptr<CommPort> makeCliPort(const NamedPort &named, QString *error)
{
    if (!named.device.isEmpty()) {
        *error = QStringLiteral("%1: on Windows, name the port COMn (1 to 16)").arg(named.device);
        return nullptr;
    }
    return makeSerialPort();
}
