#pragma once

#include "bench/FlashFigures.h"
#include "bench/LineTimingFile.h"

// One whole flash of our test image by the real wizard (real serial port layer,
// real clock) against ptz2-sim, driven as a person drives it (WizardDrive).
class FlashRun {
public:
    static FlashFigures run(int baud);

    // Takes the transfer time and the per-line gaps from the simulator's timing file.
    // Empty, or why not: the file does not hold every line of the budget.
    static QString takeLineTimes(const LineTimingFile &timing, FlashFigures &figures);
};
