#include "flash/LineCodec.h"

namespace {

// "0x7F": bytes in messages are written as the firmware listings write them.
QString hexByte(quint8 byte)
{
    return QStringLiteral("0x") + QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

} // namespace

namespace LineCodec {

quint8 checksum(const QByteArray &imageBytes)
{
    quint8 sum = 0;
    for (char byte : imageBytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
    return sum;
}

bool needsEscape(char byte)
{
    return byte == 0x02 || byte == 0x04 || byte == kEscape;
}

QByteArray encodeLine(const QByteArray &imageBytes)
{
    QByteArray logical = imageBytes;
    logical.append(static_cast<char>(checksum(imageBytes)));
    QByteArray body;
    body.reserve(2 * logical.size());
    for (char byte : logical) {
        if (needsEscape(byte))
            body.append(kEscape);
        body.append(byte);
    }
    return body;
}

Decoded decodeLine(const QByteArray &body)
{
    Decoded result;
    result.logical.reserve(kLogicalBytes);
    for (qsizetype i = 0; i < body.size(); ++i) {
        const char byte = body.at(i);
        if (byte == kEscape) {
            if (i + 1 >= body.size()) {
                result.fault = QStringLiteral("ends in an escape byte 0x7F with nothing after it");
                return result;
            }
            const char escaped = body.at(++i);
            if (!needsEscape(escaped)) {
                result.fault = QStringLiteral("escape byte 0x7F at offset %1 before %2, which needs no escape")
                                   .arg(i - 1)
                                   .arg(hexByte(static_cast<quint8>(escaped)));
                return result;
            }
            result.logical.append(escaped);
        } else if (byte == 0x02 || byte == 0x04) {
            result.fault = QStringLiteral("bare %1 at offset %2")
                               .arg(hexByte(static_cast<quint8>(byte)))
                               .arg(i);
            return result;
        } else {
            result.logical.append(byte);
        }
    }
    if (result.logical.size() != kLogicalBytes) {
        result.fault = QStringLiteral("%1 logical bytes instead of %2").arg(result.logical.size()).arg(kLogicalBytes);
        return result;
    }
    const quint8 expected = checksum(result.logical.left(kImageBytes));
    const quint8 stored = static_cast<quint8>(result.logical.at(kImageBytes));
    if (stored != expected) {
        result.fault = QStringLiteral("checksum %1 where the sum of the line is %2")
                           .arg(hexByte(stored))
                           .arg(hexByte(expected));
        return result;
    }
    result.ok = true;
    return result;
}

} // namespace LineCodec
