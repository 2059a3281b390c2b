#include "bench/CpuReading.h"

#include <windows.h>

namespace {

// FILETIME counts 100 ns steps.
double seconds(const FILETIME &time)
{
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return double(value.QuadPart) / 1e7;
}

} // namespace

// The performance counter: Windows' monotonic clock.
double monotonicSeconds()
{
    LARGE_INTEGER frequency, count;
    if (!QueryPerformanceFrequency(&frequency) || !QueryPerformanceCounter(&count) || frequency.QuadPart <= 0)
        return 0;   // neither fails on Windows XP or later
    return double(count.QuadPart) / double(frequency.QuadPart);
}

CpuReading CpuReading::now()
{
    CpuReading reading;
    reading.wallSeconds = monotonicSeconds();
    FILETIME created, exited, kernel, user;
    // Cannot fail for the process's own pseudo-handle; a reading of 0 would show as such.
    if (GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        reading.cpuSeconds = seconds(kernel) + seconds(user);
    return reading;
}
