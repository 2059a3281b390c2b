#pragma once

// One reading of this process's clocks: the monotonic wall clock and the CPU time
// spent so far by all its threads (user + system, getrusage RUSAGE_SELF).
struct CpuReading {
    double wallSeconds = 0;
    double cpuSeconds = 0;

    static CpuReading now();

    // CPU time between two readings as a share of one core over the wall time between them.
    static double shareOfOneCore(const CpuReading &from, const CpuReading &to);
};

// CLOCK_MONOTONIC in seconds: the clock ptz2-sim writes its timing file in.
double monotonicSeconds();
