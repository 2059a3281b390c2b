#pragma once

// One reading of this process's clocks: the monotonic wall clock and the CPU time
// spent so far by all its threads (user + system: getrusage RUSAGE_SELF, or
// GetProcessTimes on Windows).
struct CpuReading {
    double wallSeconds = 0;
    double cpuSeconds = 0;

    static CpuReading now();

    // CPU time between two readings as a share of one core over the wall time between them.
    static double shareOfOneCore(const CpuReading &from, const CpuReading &to)
    {
        const double wall = to.wallSeconds - from.wallSeconds;
        return wall > 0 ? (to.cpuSeconds - from.cpuSeconds) / wall : 0;
    }
};

// The monotonic clock in seconds: CLOCK_MONOTONIC, the clock ptz2-sim writes its timing
// file in; on Windows the performance counter, which is not the simulator's clock.
double monotonicSeconds();
