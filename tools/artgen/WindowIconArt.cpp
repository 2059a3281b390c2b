#include "WindowIconArt.h"

#include <algorithm>

const QVector<QRgb> &WindowIconArt::standardPalette()
{
    static const QVector<QRgb> palette = {
        qRgb(0, 0, 0),       qRgb(128, 0, 0),   qRgb(0, 128, 0),   qRgb(128, 128, 0),
        qRgb(0, 0, 128),     qRgb(128, 0, 128), qRgb(0, 128, 128), qRgb(192, 192, 192),
        qRgb(128, 128, 128), qRgb(255, 0, 0),   qRgb(0, 255, 0),   qRgb(255, 255, 0),
        qRgb(0, 0, 255),     qRgb(255, 0, 255), qRgb(0, 255, 255), qRgb(255, 255, 255),
    };
    return palette;
}

// All measures scale with the size: at 32 px the window spans x 1..30, y 3..28 with
// a 5-px title bar; at 16 px it fills the width with a 3-px title bar.
QVector<int> WindowIconArt::pixels(int size)
{
    QVector<int> px(size * size, kTransparent);
    auto put = [&](int x, int y, int colour) { px[y * size + x] = colour; };
    auto fill = [&](int left, int top, int right, int bottom, int colour) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                put(x, y, colour);
    };

    const int unit = std::max(1, size / 32);
    const int left = size / 32, right = size - 1 - size / 32;
    const int top = size * 3 / 32, bottom = size - 1 - size * 3 / 32;
    const int titleHeight = std::max(3, size * 5 / 32);

    fill(left, top, right, bottom, Black);
    fill(left + unit, top + unit, right - unit, top + titleHeight, Navy);
    fill(left + unit, top + titleHeight + unit, right - unit, bottom - unit, White);

    if (size >= 32) {
        const int box = titleHeight - 2 * unit;   // the close box at the title bar's right end
        const int boxRight = right - 2 * unit;
        fill(boxRight - box + 1, top + 2 * unit, boxRight, top + 2 * unit + box - 1, Silver);
        const int lineGap = size / 8;
        for (int y = top + titleHeight + unit + lineGap / 2 + unit; y + unit <= bottom - 2 * unit; y += lineGap / 2 + unit)
            fill(left + 3 * unit, y, right - 3 * unit - (y / unit % 3) * 2 * unit, y + unit - 1, Grey);
    }
    return px;
}

QVector<int> WindowIconArt::monochromePixels(int size)
{
    QVector<int> px = pixels(size);
    for (int &p : px) {
        if (p == kTransparent)
            continue;
        p = (p == White || p == Silver) ? White : Black;
    }
    return px;
}

QImage WindowIconArt::image(int size)
{
    const QVector<int> px = pixels(size);
    QImage image(size, size, QImage::Format_ARGB32);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const int p = px[y * size + x];
            image.setPixel(x, y, p == kTransparent ? qRgba(0, 0, 0, 0) : standardPalette()[p]);
        }
    return image;
}
