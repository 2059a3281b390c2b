#pragma once

#include "link/LowLatency.h"

#include <linux/serial.h>

#include <functional>

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
