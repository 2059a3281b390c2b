#include "link/SerialPortFactory.h"

#include "link/SerialPortControl.h"

std::unique_ptr<CommPort> makeSerialPort()
{
    return std::make_unique<SerialPortControl>();
}
