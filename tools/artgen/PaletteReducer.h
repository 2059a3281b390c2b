#pragma once

#include <QImage>
#include <QVector>

// Turns an RGB picture into an indexed one with a palette of exactly `colours`
// entries. The key colours get entries of their own and stay exact (the white ground
// must match the banner); the other colours share the remaining entries by a
// median cut. Deterministic: no dithering, ties resolved by order.
class PaletteReducer {
public:
    static QImage reduce(const QImage &rgb, const QVector<QRgb> &keys, int colours);

private:
    static QVector<QRgb> medianCut(const QImage &rgb, const QVector<QRgb> &keys, int entries);
    static int nearest(const QVector<QRgb> &palette, QRgb colour);
};
