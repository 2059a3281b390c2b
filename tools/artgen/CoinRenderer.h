#pragma once

#include <QImage>

// The emblem as a coin: a blue disc whose front carries a white-ringed camera lens
// with four pan/tilt arrowheads and whose back carries a plain ring, a hub and four
// screws, with a thin dark rim between them. Drawn by point sampling in plain
// arithmetic, so the picture is the same on every machine. A scale of 2 draws the
// same art with twice the pixels each way, for screens that scale by 2.
class CoinRenderer {
public:
    static constexpr int kCellSize = 64;   // logical pixels

    explicit CoinRenderer(int scale = 1);

    // Device pixels each way of one cell: kCellSize times the scale.
    int pixelSize() const;

    // One square picture (RGB32, white ground) of the coin turned by `angle` radians
    // about its vertical axis: 0 edge-on, pi/2 front face on, 3pi/2 back face on.
    QImage cell(double angle) const;

    // The still emblem: the front face, square on.
    QImage emblem() const;

    // The flat colours the art is made of (the palette reduction keeps them exact).
    static QVector<QRgb> keyColours();

private:
    QRgb sample(double x, double y, double sinA, double cosA) const;
    static QRgb frontFace(double u, double v);
    static QRgb backFace(double u, double v);

    int m_scale;
};
