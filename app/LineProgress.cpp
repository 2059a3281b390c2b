#include "app/LineProgress.h"

#include <cmath>

namespace LineProgress {

namespace {

const QString kSuffix = QStringLiteral("% Complete ");

} // namespace

int barWidth(int innerWidth, qint32 lineIndex, qint32 upper)
{
    if (upper <= 0)
        return innerWidth;
    const double width = innerWidth * double(lineIndex) / double(upper);
    return qBound(0, int(std::lround(width)), innerWidth);
}

// The percentage is rounded in integers: hundredths = lineIndex * 10000 / upper, ties away
// from zero. Rounding the floating-point quotient instead would turn exact ties such as
// 3.125 into 3.12 and would let representation error decide others.
QString percentText(qint32 lineIndex, qint32 upper)
{
    if (upper <= 0)
        return QStringLiteral("100.00") + kSuffix;
    const qint64 scaled = qint64(lineIndex) * 10000;
    const qint64 magnitude = (2 * (scaled < 0 ? -scaled : scaled) + upper) / (2 * qint64(upper));
    const QString digits = QStringLiteral("%1.%2").arg(magnitude / 100).arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    return (scaled < 0 && magnitude != 0 ? QStringLiteral("-") : QString()) + digits + kSuffix;
}

} // namespace LineProgress
