#pragma once

#include <QImage>
#include <QVector>

// The program icon: a generic window (black frame, navy title bar with a close box,
// white client area with grey lines of text) drawn for any size, as indices into the
// standard 16-colour palette; kTransparent marks the pixels around the window.
class WindowIconArt {
public:
    static constexpr int kTransparent = -1;
    enum Colour { Black = 0, Navy = 4, Silver = 7, Grey = 8, White = 15 };

    static const QVector<QRgb> &standardPalette();

    // size * size indices, row by row from the top.
    static QVector<int> pixels(int size);

    // The same picture in two colours: black, white or transparent.
    static QVector<int> monochromePixels(int size);

    // The picture as ARGB32 (transparent around the window).
    static QImage image(int size);
};
