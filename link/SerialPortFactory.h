#pragma once

#include "link/CommPort.h"

#include <memory>

// The machine's serial port control: QSerialPort (SerialPortControl) on Linux and other
// POSIX systems, our own Win32 backend (Win32CommPort) on Windows; defined by
// SerialPortFactoryPosix.cpp or SerialPortFactoryWin32.cpp, as the build chooses.
std::unique_ptr<CommPort> makeSerialPort();
