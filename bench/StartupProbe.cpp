#include "bench/StartupProbe.h"

#include "app/FatalErrorGuard.h"
#include "app/WizardStart.h"
#include "app/frmRevertex.h"
#include "bench/CpuReading.h"
#include "bench/EventWatch.h"

#include <QApplication>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <ctime>
#include <memory>
#include <unistd.h>

const char *const StartupProbe::kChildOption = "--startup-child";

namespace {

constexpr int kChildLimitMs = 30000;
constexpr int kFirstPaintLimitMs = 10000;
constexpr int kProcStatStartTimeField = 22;   // 1-based, counted from the pid

// Seconds since this process started, by the kernel's own start stamp: field 22 of
// /proc/self/stat in clock ticks since boot, against CLOCK_BOOTTIME.
double secondsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The command name in parentheses may hold blanks; the fields after it do not.
    const int afterName = text.lastIndexOf(')');
    if (afterName < 0)
        return -1;
    const QList<QByteArray> fields = text.mid(afterName + 2).split(' ');
    const int index = kProcStatStartTimeField - 3;   // pid and name come before "state"
    if (fields.size() <= index)
        return -1;
    bool ok = false;
    const double startTicks = fields[index].toDouble(&ok);
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    timespec boot{};
    if (!ok || ticksPerSecond <= 0 || clock_gettime(CLOCK_BOOTTIME, &boot) != 0)
        return -1;
    return double(boot.tv_sec) + double(boot.tv_nsec) / 1e9 - startTicks / double(ticksPerSecond);
}

} // namespace

int StartupProbe::runChild(int argc, char **argv)
{
    const double enteredMain = monotonicSeconds();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Revertex"));
    const double applicationReady = monotonicSeconds();

    // The program's start: the firmware file read and checked, then the window loaded.
    QString failure;
    WizardStart::Parts start;
    start.loadFailure = [&failure](int number, const QString &description) {
        failure = runTimeErrorText(number, description);
    };
    QTextStream err(&failure);
    const QStringList arguments = {QApplication::applicationFilePath(), QStringLiteral("--firmware"),
                                   QStringLiteral(REVERTEX_BENCH_FIRMWARE_CONTAINER)};
    std::unique_ptr<frmRevertex> window = WizardStart::run(arguments, std::move(start), err).window;
    if (!window) {
        std::fprintf(stderr, "%s\n", qPrintable(failure));
        return 1;
    }
    const double windowLoaded = monotonicSeconds();

    // Shown means painted: the stamp is taken once the first paint has run to its end.
    EventWatch firstPaint({window.get()}, QEvent::Paint);
    QApplication::setWindowIcon(window->windowIcon());
    window->show();
    const bool painted = !firstPaint.wait(kFirstPaintLimitMs).isEmpty();
    const double shown = monotonicSeconds();
    const double byProcStat = secondsSinceProcessStart();
    if (!painted) {
        std::fprintf(stderr, "the window was never painted\n");
        return 1;
    }
    std::printf("%.6f %.6f %.6f %.6f %.6f\n", enteredMain, applicationReady, windowLoaded, shown, byProcStat);
    return 0;
}

StartupFigures StartupProbe::measureOnce(const QString &program)
{
    StartupFigures figures;
    QProcess child;
    child.setProcessChannelMode(QProcess::SeparateChannels);
    const double launched = monotonicSeconds();
    child.start(program, {QString::fromLatin1(kChildOption)});
    if (!child.waitForFinished(kChildLimitMs) || child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0) {
        child.kill();
        child.waitForFinished();
        figures.failure = QStringLiteral("start-up run failed: %1").arg(QString::fromLocal8Bit(child.readAllStandardError()));
        return figures;
    }
    const QList<QByteArray> stamps = child.readAllStandardOutput().trimmed().split(' ');
    std::vector<double> t;
    for (const QByteArray &stamp : stamps) {
        bool ok = false;
        t.push_back(stamp.toDouble(&ok));
        if (!ok) {
            figures.failure = QStringLiteral("start-up run printed no times");
            return figures;
        }
    }
    if (t.size() != 5) {
        figures.failure = QStringLiteral("start-up run printed %1 times, not 5").arg(t.size());
        return figures;
    }
    figures.toMain = t[0] - launched;
    figures.application = t[1] - t[0];
    figures.window = t[2] - t[1];
    figures.shown = t[3] - t[2];
    figures.total = t[3] - launched;
    figures.byProcStat = t[4];
    figures.ok = true;
    return figures;
}
