#include "link/LowLatencyLinux.h"

#include <sys/ioctl.h>

SerialInfoRequests driverSerialInfoRequests()
{
    SerialInfoRequests requests;
    requests.get = [](int fd, serial_struct *info) { return ::ioctl(fd, TIOCGSERIAL, info); };
    requests.set = [](int fd, const serial_struct &info) { return ::ioctl(fd, TIOCSSERIAL, &info); };
    return requests;
}

LowLatencyAnswer requestLowLatency(int fd, const SerialInfoRequests &requests)
{
    serial_struct info{};
    if (requests.get(fd, &info) != 0)
        return LowLatencyAnswer::Refused;
    if (info.flags & ASYNC_LOW_LATENCY)
        return LowLatencyAnswer::Granted;
    info.flags |= ASYNC_LOW_LATENCY;
    if (requests.set(fd, info) != 0)
        return LowLatencyAnswer::Refused;
    return LowLatencyAnswer::Granted;
}

LowLatencyAnswer requestLowLatency(SerialHandle handle)
{
    return requestLowLatency(handle, driverSerialInfoRequests());
}
