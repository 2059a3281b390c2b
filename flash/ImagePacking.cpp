#include "flash/ImagePacking.h"

#include "flash/ImageError.h"
#include "flash/LineCodec.h"

#include <QtEndian>

namespace ImagePacking {

namespace {

void appendField(QByteArray &container, qint32 value)
{
    char field[4];
    qToLittleEndian<qint32>(value, field);
    container.append(field, sizeof field);
}

} // namespace

void checkImageSize(qint64 size)
{
    if (size % kLineBytes != 0)
        throw ImageError(QStringLiteral("the image is %1 bytes, not a whole number of %2-byte lines (%3 lines and %4 bytes over)")
                             .arg(size)
                             .arg(kLineBytes)
                             .arg(size / kLineBytes)
                             .arg(size % kLineBytes));
    if (size < kMinImageBytes)
        throw ImageError(QStringLiteral("the image is %1 bytes; it needs at least two %2-byte lines")
                             .arg(size)
                             .arg(kLineBytes));
    if (size > kMaxImageBytes)
        throw ImageError(QStringLiteral("the image is %1 bytes, more than the %2 bytes of the MCS-51 code space")
                             .arg(size)
                             .arg(kMaxImageBytes));
}

QByteArray packImage(const QByteArray &image, int trailingBytes)
{
    checkImageSize(image.size());
    const qsizetype lineCount = image.size() / kLineBytes;
    QByteArray container;
    appendField(container, static_cast<qint32>(lineCount - 1));
    for (qsizetype line = 0; line < lineCount; ++line) {
        const QByteArray body = LineCodec::encodeLine(image.mid(line * kLineBytes, kLineBytes));
        appendField(container, static_cast<qint32>(body.size()));
        container.append(body);
    }
    container.append(QByteArray(qMax(trailingBytes, 0), '\0'));
    return container;
}

QByteArray imageFromLines(const LineRecords &lines)
{
    QByteArray image;
    image.reserve(lines.size() * kLineBytes);
    for (const QByteArray &line : lines)
        image.append(LineCodec::decodeLine(line).logical.left(kLineBytes));
    return image;
}

} // namespace ImagePacking
