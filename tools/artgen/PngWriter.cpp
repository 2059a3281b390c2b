#include "PngWriter.h"

#include <QtEndian>

#include <array>

namespace {

constexpr int kColourTypePalette = 3;

QByteArray bigEndian32(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

} // namespace

quint32 PngWriter::crc32(const QByteArray &bytes)
{
    static const auto table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes)
        crc = table[(crc ^ uchar(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

QByteArray PngWriter::chunk(const char type[4], const QByteArray &data)
{
    QByteArray typeAndData = QByteArray(type, 4) + data;
    return bigEndian32(quint32(data.size())) + typeAndData + bigEndian32(crc32(typeAndData));
}

QByteArray PngWriter::write(const QImage &indexed, int bitDepth)
{
    const int width = indexed.width();
    const int height = indexed.height();

    QByteArray header = bigEndian32(quint32(width)) + bigEndian32(quint32(height));
    header.append(char(bitDepth));
    header.append(char(kColourTypePalette));
    header.append(3, '\0');   // deflate, adaptive filtering, no interlace

    QByteArray palette;
    for (QRgb c : indexed.colorTable()) {
        palette.append(char(qRed(c)));
        palette.append(char(qGreen(c)));
        palette.append(char(qBlue(c)));
    }

    const int perByte = 8 / bitDepth;
    const int rowBytes = (width + perByte - 1) / perByte;
    QByteArray raw;
    raw.reserve((rowBytes + 1) * height);
    for (int y = 0; y < height; ++y) {
        QByteArray row(rowBytes, '\0');
        for (int x = 0; x < width; ++x) {
            const int shift = (perByte - 1 - x % perByte) * bitDepth;
            row[x / perByte] = char(uchar(row[x / perByte]) | (indexed.pixelIndex(x, y) << shift));
        }
        raw.append('\0');   // filter type None
        raw.append(row);
    }
    const QByteArray zlibStream = qCompress(raw, 9).mid(4);   // qCompress prefixes the raw length

    static const char kSignature[] = "\x89PNG\r\n\x1a\n";
    return QByteArray(kSignature, 8) + chunk("IHDR", header) + chunk("PLTE", palette)
        + chunk("IDAT", zlibStream) + chunk("IEND", QByteArray());
}
