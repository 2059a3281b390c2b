#include "bench/TickFloor.h"

#include "bench/CpuReading.h"

#include <QEventLoop>
#include <QTimer>

namespace {
constexpr int kSequenceTickMs = 1;
}

TickFloor TickFloor::measure(int durationMs)
{
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(kSequenceTickMs);
    long ticks = 0;
    QObject::connect(&tick, &QTimer::timeout, [&ticks] { ++ticks; });

    QEventLoop loop;
    QTimer::singleShot(durationMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    tick.start();
    const CpuReading start = CpuReading::now();
    loop.exec();
    const CpuReading end = CpuReading::now();
    tick.stop();

    TickFloor floor;
    const double wall = end.wallSeconds - start.wallSeconds;
    floor.ticksPerSecond = wall > 0 ? double(ticks) / wall : 0;
    floor.cpuShare = CpuReading::shareOfOneCore(start, end);
    floor.cpuPerTick = ticks > 0 ? (end.cpuSeconds - start.cpuSeconds) / double(ticks) : 0;
    return floor;
}
