// flash_bench: how long a flash of our test image takes with the real wizard,
// and how much of it is spent on our side. Prints figures; it never fails on a slow
// machine, only when a flash itself fails.
#include "bench/BenchOptions.h"
#include "bench/BenchReport.h"
#include "bench/FlashRun.h"
#include "bench/StartupProbe.h"
#include "bench/TickFloor.h"
#include "bench/WineFlashRun.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

namespace {
const QString kUnderWine = QStringLiteral("The Windows build under Wine");
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");   // inherited by the start-up runs
    if (argc == 2 && std::strcmp(argv[1], StartupProbe::kChildOption) == 0)
        return StartupProbe::runChild(argc, argv);

    QApplication app(argc, argv);
    const BenchOptions options = BenchOptions::parse(QApplication::arguments().mid(1));
    if (options.help || !options.error.isEmpty()) {
        if (!options.error.isEmpty())
            std::fprintf(stderr, "flash_bench: %s\n\n", qPrintable(options.error));
        std::fputs(qPrintable(BenchOptions::usage()), options.help ? stdout : stderr);
        return options.help ? 0 : 2;
    }

    BenchReport::header();
    std::fflush(stdout);
    bool allRan = true;
    TickFloor floor;
    if (options.paced || options.unpaced) {
        floor = TickFloor::measure(TickFloor::kMeasureMs);
        BenchReport::tickFloor(floor);
        std::fflush(stdout);
    }
    if (options.unpaced) {
        const FlashFigures figures = FlashRun::run(0);
        if (figures.ok)
            BenchReport::unpaced(figures, floor);
        else
            BenchReport::failure("Flash without pacing", figures.failure);
        allRan = allRan && figures.ok;
        std::fflush(stdout);
    }
    FlashFigures paced;
    if (options.paced) {
        paced = FlashRun::run(BenchOptions::kPacedBaud);
        if (paced.ok)
            BenchReport::paced(paced, floor);
        else
            BenchReport::failure("Flash paced", paced.failure);
        allRan = allRan && paced.ok;
        std::fflush(stdout);
    }
    if (!options.windowsBuild.isEmpty()) {
        const WineFlashFigures windows = WineFlashRun::run(options.windowsBuild, BenchOptions::kPacedBaud);
        if (windows.flash.ok) {
            BenchReport::tickFloor(windows.floor, kUnderWine);
            BenchReport::paced(windows.flash, windows.floor, kUnderWine, BenchReport::kWindowsFlashCpuTarget);
            if (paced.ok)
                BenchReport::sideBySide(paced, windows.flash);
        } else {
            BenchReport::failure("Flash paced, the Windows build under Wine", windows.flash.failure);
        }
        allRan = allRan && windows.flash.ok;
        std::fflush(stdout);
    }
    if (options.startup) {
        std::vector<StartupFigures> runs;
        for (int i = 0; i < options.startupRuns; ++i) {
            StartupFigures run = StartupProbe::measureOnce(QApplication::applicationFilePath());
            if (!run.ok) {
                BenchReport::failure("Start-up", run.failure);
                allRan = false;
                break;
            }
            runs.push_back(run);
        }
        if (!runs.empty() && allRan)
            BenchReport::startup(runs);
    }
    return allRan ? 0 : 1;
}
