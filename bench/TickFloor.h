#pragma once

// The least a 1 ms tick can cost on this machine: a Qt::PreciseTimer of 1 ms with an
// empty handler, run for a while in this process's own event loop. The wizard's
// sequences tick at this rate, so its CPU share during a flash cannot go below this.
struct TickFloor {
    double ticksPerSecond = 0;
    double cpuShare = 0;       // of one core
    double cpuPerTick = 0;     // seconds

    static TickFloor measure(int durationMs);
};
