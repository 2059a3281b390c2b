#include "link/SerialPortFactory.h"

#include "link/Win32CommPort.h"

std::unique_ptr<CommPort> makeSerialPort()
{
    return std::make_unique<Win32CommPort>();
}
