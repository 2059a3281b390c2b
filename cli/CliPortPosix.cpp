#include "cli/CliPort.h"

#include "link/SerialPortControl.h"

std::unique_ptr<CommPort> makeCliPort(const NamedPort &named, QString *error)
{
    (void)error;   // every form reaches a port here
    auto port = std::make_unique<SerialPortControl>();
    port->setDevice(named.device);   // empty for a COM number: the wizard's mapping
    return port;
}
