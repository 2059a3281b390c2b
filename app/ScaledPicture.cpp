#include "app/ScaledPicture.h"

namespace ScaledPicture {

namespace {

// Ratios this close to 1 are 1: a scale factor read from a setting may carry rounding.
constexpr qreal kUnitRatioTolerance = 0.01;

} // namespace

int scaleFor(qreal devicePixelRatio)
{
    // Fractional ratios draw the larger picture smaller rather than the smaller one larger.
    return devicePixelRatio > 1.0 + kUnitRatioTolerance ? 2 : 1;
}

QString nameFor(const QString &name, int scale)
{
    if (scale == 1)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
    const qsizetype end = dot > slash ? dot : name.size();
    return name.left(end) + QStringLiteral("@%1x").arg(scale) + name.mid(end);
}

QPixmap load(const QString &name, qreal devicePixelRatio)
{
    const int scale = scaleFor(devicePixelRatio);
    QPixmap picture(nameFor(name, scale));
    picture.setDevicePixelRatio(scale);
    return picture;
}

} // namespace ScaledPicture
