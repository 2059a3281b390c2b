#include "IcoWriter.h"

#include <QDataStream>
#include <QIODevice>

namespace {

constexpr int kDirectoryBytes = 6;
constexpr int kEntryBytes = 16;
constexpr int kInfoHeaderBytes = 40;

int paddedRowBytes(int width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}

} // namespace

QByteArray IcoWriter::bitmap(const Picture &picture)
{
    const int size = picture.size;
    const int colourRow = paddedRowBytes(size, picture.bitCount);
    const int maskRow = paddedRowBytes(size, 1);

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(kInfoHeaderBytes) << qint32(size) << qint32(size * 2)   // the height counts the mask too
        << quint16(1) << quint16(picture.bitCount) << quint32(0)             // planes, bits, no compression
        << quint32((colourRow + maskRow) * size) << qint32(0) << qint32(0)
        << quint32(0) << quint32(0);
    for (QRgb c : picture.palette)
        out << quint8(qBlue(c)) << quint8(qGreen(c)) << quint8(qRed(c)) << quint8(0);

    const int perByte = 8 / picture.bitCount;
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(colourRow, '\0');
        for (int x = 0; x < size; ++x) {
            const int index = picture.pixels[y * size + x];
            const int value = index < 0 ? 0 : index;   // transparent pixels are 0 under a set mask bit
            const int shift = (perByte - 1 - x % perByte) * picture.bitCount;
            row[x / perByte] = char(uchar(row[x / perByte]) | (value << shift));
        }
        out.writeRawData(row.constData(), row.size());
    }
    for (int y = size - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < size; ++x)
            if (picture.pixels[y * size + x] < 0)
                row[x / 8] = char(uchar(row[x / 8]) | (0x80 >> (x % 8)));
        out.writeRawData(row.constData(), row.size());
    }
    return bytes;
}

QByteArray IcoWriter::write(const QVector<Picture> &pictures)
{
    QVector<QByteArray> bitmaps;
    for (const Picture &picture : pictures)
        bitmaps.append(bitmap(picture));

    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(pictures.size());   // reserved, type icon, count
    quint32 offset = kDirectoryBytes + kEntryBytes * quint32(pictures.size());
    for (int i = 0; i < pictures.size(); ++i) {
        const Picture &p = pictures[i];
        out << quint8(p.size) << quint8(p.size) << quint8(p.palette.size() >= 256 ? 0 : p.palette.size())
            << quint8(0) << quint16(1) << quint16(p.bitCount) << quint32(bitmaps[i].size()) << offset;
        offset += quint32(bitmaps[i].size());
    }
    for (const QByteArray &b : bitmaps)
        out.writeRawData(b.constData(), b.size());
    return bytes;
}
