#pragma once

#include "bench/FlashRun.h"
#include "bench/StartupProbe.h"
#include "bench/TickFloor.h"

#include <vector>

// The figures as a plain table on stdout, each beside its target where it has one.
class BenchReport {
public:
    static constexpr double kTransferRatioTarget = 1.01;
    static constexpr double kMedianDelayTargetSeconds = 0.0003;   // ours, per line
    static constexpr double kP99DelayTargetSeconds = 0.002;
    static constexpr double kFlashCpuTarget = 0.015;   // of one core
    static constexpr double kWindowsFlashCpuTarget = 0.02;   // the Windows build, measured under Wine
    static constexpr double kStartupTargetSeconds = 0.150;

    static void header();
    static void tickFloor(const TickFloor &floor, const QString &where = {});
    // `where` names the build when it is not this machine's own (the Windows one under Wine).
    static void paced(const FlashFigures &figures, const TickFloor &floor, const QString &where = {},
                      double cpuTarget = kFlashCpuTarget);
    // The two paced flashes' ratio and CPU share in one table.
    static void sideBySide(const FlashFigures &here, const FlashFigures &windows);
    static void unpaced(const FlashFigures &figures, const TickFloor &floor);
    static void startup(const std::vector<StartupFigures> &runs);
    static void failure(const char *what, const QString &why);
};
