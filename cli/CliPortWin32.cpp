#include "cli/CliPort.h"

#include "link/SerialPortFactory.h"

std::unique_ptr<CommPort> makeCliPort(const PortSpec &spec, QString *error)
{
    if (!spec.device.isEmpty()) {
        *error = QStringLiteral("%1: on Windows, name the port COMn (1 to 16)").arg(spec.device);
        return nullptr;
    }
    return makeSerialPort();
}
