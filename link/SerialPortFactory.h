#pragma once

#include "link/CommPort.h"

#include <memory>

// The machine's serial port control: QSerialPort (SerialPortControl) on Linux and other
// POSIX systems, our own polled Win32 backend (Win32CommPort) on Windows.
std::unique_ptr<CommPort> makeSerialPort();
