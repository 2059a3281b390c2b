#pragma once

#include "bench/WireBudget.h"

#include <QString>
#include <vector>

// What one whole flash of our test image by the real wizard against ptz2-sim
// measured.
struct FlashFigures {
    bool ok = false;
    QString failure;

    int baud = 0;                    // 0: the simulator did not pace the line
    WireBudget budget;               // bytes the line transfer put on the line, both ways
    double transferSeconds = 0;      // first line's first byte to the last line's acknowledgement
    std::vector<double> gaps;        // per line after the first: acknowledgement to next line, seconds
    // The gaps split, per line after the first, in seconds: the acknowledgement written by
    // the simulator -> the wizard's port gives word of it -> the wizard has written the
    // next line -> the simulator has read its first byte. Empty where the wizard's clock
    // is not the simulator's (the Windows run under Wine).
    std::vector<double> wakeUps;
    std::vector<double> ownTicks;
    std::vector<double> onward;
    double flashSeconds = 0;         // Next on the warning page to the done page, wall clock
    double flashCpuSeconds = 0;      // CPU of the wizard's process over the same interval
    qint64 sequenceTicks = 0;        // ticks of the download's sequence timers over that interval
};
