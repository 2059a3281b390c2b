#pragma once

#include <QSerialPort>

#include <utility>

// USB serial adapters hold received bytes back before the host sees them: an FTDI
// adapter for its latency timer, 16 ms unless changed. The wizard waits for every
// acknowledgement before the next firmware line, so each line would wait that long.
// Linux lets a program ask the driver for low latency on an open port
// (TIOCSSERIAL with ASYNC_LOW_LATENCY); ftdi_sio then sets the timer to 1 ms.
// LowLatencyLinux.cpp asks; LowLatencyNone.cpp, for other systems, has no request to make.
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
