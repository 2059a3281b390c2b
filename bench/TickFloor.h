#pragma once

// What a 1 ms tick costs on this machine: a Qt::PreciseTimer of 1 ms with an empty
// handler, run for a while in this process's own event loop. Sequences that ticked
// every millisecond throughout could not use less CPU than this; the wizard's share
// during a flash is shown beside it.
struct TickFloor {
    static constexpr int kMeasureMs = 3000;   // how long the bench runs it

    double ticksPerSecond = 0;
    double cpuShare = 0;       // of one core
    double cpuPerTick = 0;     // seconds

    static TickFloor measure(int durationMs);
};
