// flash_bench.exe, the Windows build's benchmark. The Linux flash_bench --windows runs it
// under Wine with ptz2-sim behind COM1:
//   flash_bench.exe FIGURES_FILE FIRMWARE_FILE
// It measures the empty-tick floor, flashes FIRMWARE_FILE with the real wizard on
// the platform's own serial port, and writes what it measured into FIGURES_FILE.
#include "bench/WindowsRunFigures.h"
#include "bench/WizardDrive.h"

#include <QApplication>
#include <QFile>

#include <cstdio>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("Usage: flash_bench.exe FIGURES_FILE FIRMWARE_FILE (started by flash_bench --windows on Linux)\n", stderr);
        return 2;
    }

    WindowsRunFigures measured;
    measured.floor = TickFloor::measure(TickFloor::kMeasureMs);
    FlashFigures figures;
    WizardDrive drive(nullptr, arguments[2]);
    if (drive.window() && drive.toWarningPage() && drive.flash(figures)) {
        measured.flashSeconds = figures.flashSeconds;
        measured.flashCpuSeconds = figures.flashCpuSeconds;
        measured.sequenceTicks = figures.sequenceTicks;
    }
    measured.failure = drive.failure();
    drive.close();

    QFile file(arguments[1]);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(measured.toText()) < 0 || !file.flush()) {
        std::fprintf(stderr, "flash_bench.exe: cannot write %s: %s\n", qPrintable(arguments[1]), qPrintable(file.errorString()));
        return 1;
    }
    return measured.failure.isEmpty() ? 0 : 1;
}
