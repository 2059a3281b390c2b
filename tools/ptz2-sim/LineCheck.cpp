#include "LineCheck.h"

#include "link/Frames.h"

namespace LineCheck {

namespace {

constexpr unsigned char kPairOpener = 0x7F;
constexpr int kBytesWithSum = kImageBytesPerLine + 1;

bool travelsAsPair(unsigned char value)
{
    return value == static_cast<unsigned char>(Frame::STX) || value == static_cast<unsigned char>(Frame::EOT)
        || value == kPairOpener;
}

QString hex(unsigned char value)
{
    return QStringLiteral("0x") + QString::number(value, 16).rightJustified(2, QLatin1Char('0')).toUpper();
}

Result refused(const QString &fault)
{
    Result result;
    result.fault = fault;
    return result;
}

} // namespace

Result read(const QByteArray &body)
{
    // The logical bytes as the camera's receive routine would collect them.
    QByteArray plain;
    bool pairOpen = false;
    for (qsizetype at = 0; at < body.size(); ++at) {
        const auto value = static_cast<unsigned char>(body.at(at));
        if (pairOpen) {
            if (!travelsAsPair(value))
                return refused(QStringLiteral("pair 0x7F %1 at offset %2: only 0x02, 0x04 and 0x7F travel as pairs")
                                   .arg(hex(value))
                                   .arg(at - 1));
            plain.append(static_cast<char>(value));
            pairOpen = false;
            continue;
        }
        if (value == kPairOpener) {
            pairOpen = true;
            continue;
        }
        if (travelsAsPair(value))
            return refused(QStringLiteral("unpaired %1 at offset %2").arg(hex(value)).arg(at));
        plain.append(static_cast<char>(value));
    }
    if (pairOpen)
        return refused(QStringLiteral("the body ends inside a pair: 0x7F is its last byte"));
    if (plain.size() != kBytesWithSum)
        return refused(QStringLiteral("%1 bytes after undoing the pairs, not %2").arg(plain.size()).arg(kBytesWithSum));

    unsigned sum = 0;
    for (int i = 0; i < kImageBytesPerLine; ++i)
        sum += static_cast<unsigned char>(plain.at(i));
    const auto carried = static_cast<unsigned char>(plain.at(kImageBytesPerLine));
    if ((sum & 0xFFu) != carried)
        return refused(QStringLiteral("sum byte %1, but the 64 bytes add up to %2")
                           .arg(hex(carried))
                           .arg(hex(static_cast<unsigned char>(sum & 0xFFu))));

    Result result;
    result.good = true;
    result.imageBytes = plain.left(kImageBytesPerLine);
    return result;
}

} // namespace LineCheck
