#include "LookSupport.h"

#include <QHash>

#include <cmath>

namespace LookSupport {

namespace {

double linear(int channel)
{
    const double c = channel / 255.0;
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

double luminance(const QColor &colour)
{
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) + 0.0722 * linear(colour.blue());
}

double contrastRatio(const QColor &a, const QColor &b)
{
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Ink inkOf(const QImage &image, const QRect &region)
{
    const QRect area = region.intersected(image.rect());
    QHash<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    Ink result;
    int most = -1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            result.ground = QColor::fromRgb(it.key());
        }
    result.ink = result.ground;
    double best = 1.0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        const double c = contrastRatio(result.ground, QColor::fromRgb(it.key()));
        if (c > best) {
            best = c;
            result.ink = QColor::fromRgb(it.key());
        }
    }
    return result;
}

QRect regionOf(const QWidget *widget, const QWidget *top, const QImage &grabbed)
{
    const qreal ratio = grabbed.devicePixelRatio();
    const QRect logical(widget->mapTo(top, QPoint(0, 0)), widget->size());
    return QRect(QPoint(qRound(logical.left() * ratio), qRound(logical.top() * ratio)),
                 QPoint(qRound((logical.right() + 1) * ratio) - 1, qRound((logical.bottom() + 1) * ratio) - 1));
}

namespace {

QList<bool> inkRows(const QImage &image, const QRect &area, double threshold)
{
    const QColor ground = inkOf(image, area).ground;
    QList<bool> rows;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        bool ink = false;
        for (int x = area.left(); x <= area.right() && !ink; ++x)
            ink = contrastRatio(ground, QColor::fromRgb(image.pixel(x, y))) >= threshold;
        rows.append(ink);
    }
    return rows;
}

} // namespace

int inkPixels(const QImage &image, const QRect &region, double threshold)
{
    const QRect area = region.intersected(image.rect());
    const QColor ground = inkOf(image, area).ground;
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += contrastRatio(ground, QColor::fromRgb(image.pixel(x, y))) >= threshold ? 1 : 0;
    return count;
}

int firstInkRunHeight(const QImage &image, const QRect &region, double threshold)
{
    int run = 0;
    for (const bool ink : inkRows(image, region.intersected(image.rect()), threshold)) {
        if (ink)
            ++run;
        else if (run > 0)
            break;
    }
    return run;
}

QList<int> inkRunStarts(const QImage &image, const QRect &region, double threshold)
{
    const QList<bool> rows = inkRows(image, region.intersected(image.rect()), threshold);
    QList<int> starts;
    for (int y = 0; y < rows.size(); ++y)
        if (rows[y] && (y == 0 || !rows[y - 1]))
            starts.append(y);
    return starts;
}

} // namespace LookSupport
