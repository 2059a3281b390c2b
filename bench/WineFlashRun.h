#pragma once

#include "bench/FlashFigures.h"
#include "bench/TickFloor.h"

#include <QString>

// The Windows build's benchmark, run under Wine against ptz2-sim paced at `baud`: the
// simulator's device goes behind Wine's COM1 (the link BUILD/wine-ports/COM1), and
// BUILD/flash_bench.exe flashes through BUILD/wine-run.sh with the Win32 serial port.
// The wizard's own side of the flash comes back from the Windows program; the line
// times come from the simulator, as for the flash on this machine.
struct WineFlashFigures {
    FlashFigures flash;
    TickFloor floor;   // the empty 1 ms timer under Wine
};

class WineFlashRun {
public:
    static WineFlashFigures run(const QString &buildDirectory, int baud);
};
