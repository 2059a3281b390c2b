#pragma once

#include <QSerialPort>

#include <functional>
#include <utility>

#ifdef Q_OS_LINUX
#include <linux/serial.h>
#endif

// USB serial adapters hold received bytes back before the host sees them: an FTDI
// adapter for its latency timer, 16 ms unless changed. The wizard waits for every
// acknowledgement before the next firmware line, so each line would wait that long.
// Linux lets a program ask the driver for low latency on an open port
// (TIOCSSERIAL with ASYNC_LOW_LATENCY); ftdi_sio then sets the timer to 1 ms.
//
// Many drivers and every pseudo-terminal refuse the request. That is no failure: the
// port works as before, only replies may come later. Nothing is reported either way.
enum class LowLatencyAnswer {
    Granted,       // the driver now hands bytes on at once (or already did)
    Refused,       // the driver does not take the request
    NotAvailable,  // no such request on this system (not Linux)
};

// What QSerialPort::handle() gives: a file descriptor, or a HANDLE on Windows.
using SerialHandle = decltype(std::declval<const QSerialPort &>().handle());

// Asks the driver behind an open port for low latency. Never throws, never reports.
LowLatencyAnswer requestLowLatency(SerialHandle handle);

#ifdef Q_OS_LINUX
// The two driver requests, TIOCGSERIAL and TIOCSSERIAL, each returning the ioctl's
// result; a test puts in its own to see them made and to refuse them.
struct SerialInfoRequests {
    std::function<int(int fd, serial_struct *info)> get;
    std::function<int(int fd, const serial_struct &info)> set;
};

// The ioctls themselves.
SerialInfoRequests driverSerialInfoRequests();

// Reads the port's serial settings and writes them back with ASYNC_LOW_LATENCY added,
// everything else unchanged; writes nothing when the flag is already set.
LowLatencyAnswer requestLowLatency(int fd, const SerialInfoRequests &requests);
#endif
