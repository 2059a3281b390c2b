#include "bench/BenchReport.h"

#include "bench/Distribution.h"

#include <QSysInfo>
#include <QThread>

#include <cstdio>

namespace {

constexpr int kLabelWidth = 52;

QByteArray label(const QString &text)
{
    return text.leftJustified(kLabelWidth, QLatin1Char(' ')).toUtf8();
}

void row(const QString &name, const QString &value, const QString &target = {})
{
    std::printf("  %s %-30s %s\n", label(name).constData(), value.toUtf8().constData(), target.toUtf8().constData());
}

QString ms(double seconds)
{
    return QString::number(seconds * 1000.0, 'f', 2);
}

QString verdict(bool met, const QString &target)
{
    return QStringLiteral("target %1  %2").arg(target, met ? QStringLiteral("met") : QStringLiteral("MISSED"));
}

void delayRows(const FlashFigures &figures, bool withTargets)
{
    const Distribution gaps(figures.gaps);
    const bool met = gaps.median() <= BenchReport::kMedianDelayTargetSeconds
        && gaps.percentile(99) <= BenchReport::kP99DelayTargetSeconds;
    row(QStringLiteral("our delay per line, median / p99 / max"),
        QStringLiteral("%1 / %2 / %3 ms").arg(ms(gaps.median()), ms(gaps.percentile(99)), ms(gaps.max())),
        withTargets ? verdict(met, QStringLiteral("<= %1 / %2 ms")
                                       .arg(BenchReport::kMedianDelayTargetSeconds * 1000.0)
                                       .arg(BenchReport::kP99DelayTargetSeconds * 1000.0))
                    : QString());
    row(QStringLiteral("  (acknowledgement on the line -> next line)"),
        QStringLiteral("mean %1 ms over %2 lines").arg(ms(gaps.mean())).arg(gaps.size()));
    if (figures.ownTicks.empty())
        return;
    // Where it goes, median / p99 / max of each part (parts need not add up to the whole).
    const auto part = [](const QString &name, const std::vector<double> &samples) {
        const Distribution d(samples);
        row(name, QStringLiteral("%1 / %2 / %3 ms").arg(ms(d.median()), ms(d.percentile(99)), ms(d.max())));
    };
    part(QStringLiteral("  ack written -> the wizard has word of it"), figures.wakeUps);
    part(QStringLiteral("  the wizard's ticks: word -> next line written"), figures.ownTicks);
    part(QStringLiteral("  line written -> simulator reads it"), figures.onward);
}

double cpuShare(const FlashFigures &figures)
{
    return figures.flashSeconds > 0 ? figures.flashCpuSeconds / figures.flashSeconds : 0;
}

void tickRows(const FlashFigures &figures, const TickFloor &floor)
{
    const double perSecond = figures.flashSeconds > 0 ? double(figures.sequenceTicks) / figures.flashSeconds : 0;
    const double perTick = figures.sequenceTicks > 0 ? figures.flashCpuSeconds / double(figures.sequenceTicks) : 0;
    row(QStringLiteral("  sequence timer ticks; CPU per tick"),
        QStringLiteral("%1 /s; %2 us").arg(perSecond, 0, 'f', 0).arg(perTick * 1e6, 0, 'f', 1));
    // What the same number of ticks costs with nothing to do: the share no work can save.
    row(QStringLiteral("  of which empty 1 ms ticks at this rate"),
        QStringLiteral("%1 %").arg(perSecond * floor.cpuPerTick * 100.0, 0, 'f', 2));
    row(QStringLiteral("  empty-tick floor: a 1 ms timer for as long"),
        QStringLiteral("%1 %").arg(floor.cpuShare * 100.0, 0, 'f', 2));
}

QString cpuText(const FlashFigures &figures)
{
    return QStringLiteral("%1 % (%2 s CPU in %3 s)")
        .arg(cpuShare(figures) * 100.0, 0, 'f', 2)
        .arg(figures.flashCpuSeconds, 0, 'f', 3)
        .arg(figures.flashSeconds, 0, 'f', 2);
}

} // namespace

void BenchReport::header()
{
    std::printf("Revertex flash benchmark: the real wizard offscreen against ptz2-sim\n");
    std::printf("machine: %s, %d cores, Qt %s\n\n", qPrintable(QSysInfo::prettyProductName()),
                QThread::idealThreadCount(), qVersion());
}

void BenchReport::tickFloor(const TickFloor &floor, const QString &where)
{
    std::printf("%sReference: an empty 1 ms Qt::PreciseTimer in the wizard's process\n",
                where.isEmpty() ? "" : qPrintable(where + QStringLiteral(": ")));
    row(QStringLiteral("ticks; CPU of one core; CPU per tick"),
        QStringLiteral("%1 /s; %2 %; %3 us")
            .arg(floor.ticksPerSecond, 0, 'f', 0)
            .arg(floor.cpuShare * 100.0, 0, 'f', 2)
            .arg(floor.cpuPerTick * 1e6, 0, 'f', 1));
    std::printf("\n");
}

void BenchReport::paced(const FlashFigures &figures, const TickFloor &floor, const QString &where, double cpuTarget)
{
    const double limit = figures.budget.secondsAt(figures.baud);
    const double ratio = figures.transferSeconds / limit;
    const double share = cpuShare(figures);
    std::printf("%sFlash paced at %d baud 8N1 (%lld lines)\n", where.isEmpty() ? "" : qPrintable(where + QStringLiteral(": ")),
                figures.baud, static_cast<long long>(figures.budget.lines));
    row(QStringLiteral("line transfer, first line sent -> last ack"),
        QStringLiteral("%1 s").arg(figures.transferSeconds, 0, 'f', 3));
    row(QStringLiteral("wire limit, %1 B out + %2 B back, 10 bit/B")
            .arg(figures.budget.bytesOut)
            .arg(figures.budget.bytesBack),
        QStringLiteral("%1 s").arg(limit, 0, 'f', 3));
    row(QStringLiteral("ratio"), QString::number(ratio, 'f', 4),
        verdict(ratio <= kTransferRatioTarget, QStringLiteral("<= %1").arg(kTransferRatioTarget)));
    delayRows(figures, true);
    const double ours = Distribution(figures.gaps).mean() * double(figures.gaps.size());
    const double excess = figures.transferSeconds - limit;
    row(QStringLiteral("time beyond the wire limit: ours / simulator's"),
        QStringLiteral("%1 s / %2 s").arg(ours, 0, 'f', 3).arg(excess - ours, 0, 'f', 3));
    row(QStringLiteral("wizard CPU, Next -> done page, of one core"), cpuText(figures),
        verdict(share <= cpuTarget, QStringLiteral("<= %1 %").arg(cpuTarget * 100.0)));
    tickRows(figures, floor);
    std::printf("\n");
}

void BenchReport::sideBySide(const FlashFigures &here, const FlashFigures &windows)
{
    const auto ratio = [](const FlashFigures &f) { return f.transferSeconds / f.budget.secondsAt(f.baud); };
    std::printf("Paced flash, this machine's build / the Windows build under Wine\n");
    row(QStringLiteral("ratio to the wire limit"),
        QStringLiteral("%1 / %2").arg(ratio(here), 0, 'f', 4).arg(ratio(windows), 0, 'f', 4),
        QStringLiteral("target <= %1").arg(kTransferRatioTarget));
    row(QStringLiteral("wizard CPU, Next -> done page, of one core"),
        QStringLiteral("%1 % / %2 %").arg(cpuShare(here) * 100.0, 0, 'f', 2).arg(cpuShare(windows) * 100.0, 0, 'f', 2));
    std::printf("\n");
}

void BenchReport::unpaced(const FlashFigures &figures, const TickFloor &floor)
{
    std::printf("Flash without pacing (%lld lines)\n", static_cast<long long>(figures.budget.lines));
    row(QStringLiteral("line transfer, first line sent -> last ack"),
        QStringLiteral("%1 s").arg(figures.transferSeconds, 0, 'f', 3));
    row(QStringLiteral("lines per second"),
        QString::number(double(figures.budget.lines) / figures.transferSeconds, 'f', 1));
    delayRows(figures, false);
    row(QStringLiteral("wizard CPU, Next -> done page, of one core"), cpuText(figures));
    tickRows(figures, floor);
    std::printf("\n");
}

void BenchReport::startup(const std::vector<StartupFigures> &runs)
{
    std::vector<double> toMain, application, window, shown, total, byProcStat;
    for (const StartupFigures &run : runs) {
        toMain.push_back(run.toMain);
        application.push_back(run.application);
        window.push_back(run.window);
        shown.push_back(run.shown);
        total.push_back(run.total);
        if (run.byProcStat >= 0)
            byProcStat.push_back(run.byProcStat);
    }
    const auto stage = [](const QString &name, const std::vector<double> &samples, const QString &target = {}) {
        const Distribution d(samples);
        row(name, QStringLiteral("%1 ms (max %2)").arg(ms(d.median()), ms(d.max())), target);
    };
    std::printf("Start-up, launch -> window shown with the image unpacked (median of %zu runs)\n", runs.size());
    stage(QStringLiteral("launch -> main() (fork, exec, libraries)"), toMain);
    stage(QStringLiteral("QApplication"), application);
    stage(QStringLiteral("window built, image unpacked"), window);
    stage(QStringLiteral("shown and painted once"), shown);
    const double median = Distribution(total).median();
    stage(QStringLiteral("total"), total,
          verdict(median <= kStartupTargetSeconds, QStringLiteral("<= %1 ms").arg(kStartupTargetSeconds * 1000.0)));
    if (!byProcStat.empty())
        stage(QStringLiteral("cross-check: /proc start stamp -> shown (10 ms)"), byProcStat);
    std::printf("\n");
}

void BenchReport::failure(const char *what, const QString &why)
{
    std::printf("%s: FAILED\n  %s\n\n", what, why.toUtf8().constData());
}
