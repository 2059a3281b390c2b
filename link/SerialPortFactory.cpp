#include "link/SerialPortFactory.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include "link/Win32CommPort.h"
#else
#include "link/SerialPortControl.h"
#endif

std::unique_ptr<CommPort> makeSerialPort()
{
#ifdef Q_OS_WIN
    return std::make_unique<Win32CommPort>();
#else
    return std::make_unique<SerialPortControl>();
#endif
}
