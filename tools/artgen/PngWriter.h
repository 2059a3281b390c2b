#pragma once

#include <QByteArray>
#include <QImage>

// Writes a palette image as PNG with the bit depth the palette calls for (4 bits for
// 16 colours, 8 for 256), which Qt's own writer does not do: signature, IHDR, PLTE,
// one IDAT of unfiltered rows, IEND.
class PngWriter {
public:
    // `indexed` is Format_Indexed8 with at most 2^bitDepth colours.
    static QByteArray write(const QImage &indexed, int bitDepth);

private:
    static QByteArray chunk(const char type[4], const QByteArray &data);
    static quint32 crc32(const QByteArray &bytes);
};
