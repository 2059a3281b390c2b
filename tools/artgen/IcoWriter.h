#pragma once

#include <QByteArray>
#include <QVector>
#include <QtGui/qrgb.h>

// Writes a Windows icon file by hand: ICONDIR, one ICONDIRENTRY per picture, then each
// picture as a BITMAPINFOHEADER, its palette, the colour bitmap and the AND mask,
// both bottom-up with rows padded to 4 bytes.
class IcoWriter {
public:
    struct Picture {
        int size;                 // width and height in pixels
        int bitCount;             // 1 or 4
        QVector<QRgb> palette;    // 2 or 16 entries
        QVector<int> pixels;      // size * size palette indices, top row first; -1 transparent
    };

    static QByteArray write(const QVector<Picture> &pictures);

private:
    static QByteArray bitmap(const Picture &picture);
};
