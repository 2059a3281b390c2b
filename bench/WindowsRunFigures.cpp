#include "bench/WindowsRunFigures.h"

#include <QList>
#include <QMap>

namespace {

// The names, each written once.
const QByteArray kFailure = "failure";
const QByteArray kFlashSeconds = "flash_seconds";
const QByteArray kFlashCpuSeconds = "flash_cpu_seconds";
const QByteArray kSequenceTicks = "sequence_ticks";
const QByteArray kFloorTicksPerSecond = "floor_ticks_per_second";
const QByteArray kFloorCpuShare = "floor_cpu_share";
const QByteArray kFloorCpuPerTick = "floor_cpu_per_tick";
const QByteArray kEnd = "end";   // the last line: the file is whole

QByteArray line(const QByteArray &name, double value)
{
    return name + ' ' + QByteArray::number(value, 'g', 17) + '\n';
}

bool number(const QMap<QByteArray, QByteArray> &values, const QByteArray &name, double *value)
{
    bool ok = false;
    *value = values.value(name).toDouble(&ok);
    return ok;
}

} // namespace

QByteArray WindowsRunFigures::toText() const
{
    QByteArray text;
    if (!failure.isEmpty())
        text += kFailure + ' ' + failure.simplified().toUtf8() + '\n';
    text += line(kFlashSeconds, flashSeconds);
    text += line(kFlashCpuSeconds, flashCpuSeconds);
    text += line(kSequenceTicks, double(sequenceTicks));
    text += line(kFloorTicksPerSecond, floor.ticksPerSecond);
    text += line(kFloorCpuShare, floor.cpuShare);
    text += line(kFloorCpuPerTick, floor.cpuPerTick);
    return text + kEnd + '\n';
}

bool WindowsRunFigures::fromText(const QByteArray &text, WindowsRunFigures *figures)
{
    QMap<QByteArray, QByteArray> values;
    bool ended = false;
    for (const QByteArray &row : text.split('\n')) {
        const QByteArray trimmed = row.trimmed();   // Windows line ends too
        if (trimmed == kEnd)
            ended = true;
        const qsizetype blank = trimmed.indexOf(' ');
        if (blank > 0)
            values.insert(trimmed.left(blank), trimmed.mid(blank + 1));
    }
    WindowsRunFigures read;
    read.failure = QString::fromUtf8(values.value(kFailure));
    double ticks = 0;
    if (!ended || !number(values, kFlashSeconds, &read.flashSeconds)
        || !number(values, kFlashCpuSeconds, &read.flashCpuSeconds) || !number(values, kSequenceTicks, &ticks)
        || !number(values, kFloorTicksPerSecond, &read.floor.ticksPerSecond)
        || !number(values, kFloorCpuShare, &read.floor.cpuShare)
        || !number(values, kFloorCpuPerTick, &read.floor.cpuPerTick))
        return false;
    read.sequenceTicks = qint64(ticks);
    *figures = read;
    return true;
}
