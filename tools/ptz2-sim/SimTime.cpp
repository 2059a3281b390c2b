#include "SimTime.h"

#include <ctime>

Nanos monotonicNow()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<Nanos>(now.tv_sec) * kNanosPerSecond + now.tv_nsec;
}

Nanos byteTimeAt(int baud)
{
    if (baud <= 0)
        return 0;
    const Nanos bitsTimesSecond = kBitsPerByte * kNanosPerSecond;
    return (bitsTimesSecond + baud - 1) / baud;
}

double toSeconds(Nanos t)
{
    return static_cast<double>(t) / static_cast<double>(kNanosPerSecond);
}
