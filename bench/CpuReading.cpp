#include "bench/CpuReading.h"

#include <sys/resource.h>
#include <ctime>

namespace {

double seconds(const timeval &t)
{
    return double(t.tv_sec) + double(t.tv_usec) / 1e6;
}

} // namespace

double monotonicSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

CpuReading CpuReading::now()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    CpuReading reading;
    reading.wallSeconds = monotonicSeconds();
    reading.cpuSeconds = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return reading;
}
