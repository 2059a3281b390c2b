#include "flash/IntelHexReader.h"

#include "flash/ImageError.h"
#include "flash/ImagePacking.h"

#include <QBitArray>
#include <QList>

#include <cctype>

namespace {

enum RecordType : quint8 {
    DataRecord = 0x00,
    EndOfFile = 0x01,
    ExtendedSegmentAddress = 0x02,
    StartSegmentAddress = 0x03,
    ExtendedLinearAddress = 0x04,
    StartLinearAddress = 0x05,
};

constexpr int kHeaderBytes = 4;   // count, address (2), type

QString hex(quint64 value, int digits)
{
    return QStringLiteral("0x") + QString::number(value, 16).rightJustified(digits, QLatin1Char('0')).toUpper();
}

[[noreturn]] void fail(int lineNumber, const QString &fault)
{
    throw ImageError(ImageSubject::kIntelHex, QStringLiteral("line %1: %2").arg(lineNumber).arg(fault));
}

QByteArray decodeRecord(const QByteArray &line, int lineNumber)
{
    const QByteArray digits = line.mid(1);
    if (digits.size() % 2 != 0)
        fail(lineNumber, QStringLiteral("odd number of hex digits"));
    for (char digit : digits) {
        if (!std::isxdigit(static_cast<unsigned char>(digit)))
            fail(lineNumber, QStringLiteral("'%1' is not a hex digit").arg(QChar::fromLatin1(digit)));
    }
    const QByteArray bytes = QByteArray::fromHex(digits);
    if (bytes.size() < kHeaderBytes + 1)
        fail(lineNumber, QStringLiteral("record too short"));
    const int count = static_cast<quint8>(bytes.at(0));
    if (bytes.size() != kHeaderBytes + count + 1)
        fail(lineNumber, QStringLiteral("byte count %1 does not match the %2 data bytes present")
                             .arg(count)
                             .arg(bytes.size() - kHeaderBytes - 1));
    quint8 sum = 0;
    for (char byte : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
    if (sum != 0) {
        const quint8 stored = static_cast<quint8>(bytes.back());
        const quint8 expected = static_cast<quint8>(stored - sum);
        fail(lineNumber, QStringLiteral("checksum %1 where the record needs %2").arg(hex(stored, 2), hex(expected, 2)));
    }
    return bytes;
}

} // namespace

bool IntelHexReader::looksLikeIntelHex(const QByteArray &data)
{
    const QByteArray start = data.left(64).trimmed();
    return start.startsWith(':');
}

QByteArray IntelHexReader::read(const QByteArray &text)
{
    QByteArray image(ImagePacking::kMaxImageBytes, kGapFill);
    QBitArray written(static_cast<qsizetype>(ImagePacking::kMaxImageBytes));
    qint64 end = 0;
    quint32 base = 0;
    bool sawEnd = false;

    const QList<QByteArray> lines = text.split('\n');
    for (int index = 0; index < lines.size() && !sawEnd; ++index) {
        const int lineNumber = index + 1;
        const QByteArray line = lines.at(index).trimmed();
        if (line.isEmpty())
            continue;
        if (!line.startsWith(':'))
            fail(lineNumber, QStringLiteral("does not start with ':'"));
        const QByteArray record = decodeRecord(line, lineNumber);
        const int count = static_cast<quint8>(record.at(0));
        const quint32 offset = (quint32(quint8(record.at(1))) << 8) | quint8(record.at(2));
        const QByteArray data = record.mid(kHeaderBytes, count);
        const auto word = [&data]() { return (quint32(quint8(data.at(0))) << 8) | quint8(data.at(1)); };

        switch (static_cast<quint8>(record.at(3))) {
        case DataRecord:
            for (int i = 0; i < count; ++i) {
                const quint64 address = quint64(base) + offset + quint64(i);
                if (address >= quint64(ImagePacking::kMaxImageBytes))
                    fail(lineNumber, QStringLiteral("data at %1 lies beyond the %2-byte code space")
                                         .arg(hex(address, 4))
                                         .arg(ImagePacking::kMaxImageBytes));
                if (written.testBit(static_cast<qsizetype>(address)))
                    fail(lineNumber, QStringLiteral("address %1 is written a second time").arg(hex(address, 4)));
                written.setBit(static_cast<qsizetype>(address));
                image[static_cast<qsizetype>(address)] = data.at(i);
                end = qMax<qint64>(end, static_cast<qint64>(address) + 1);
            }
            break;
        case EndOfFile:
            sawEnd = true;
            break;
        case ExtendedSegmentAddress:
            if (count != 2)
                fail(lineNumber, QStringLiteral("an extended segment address record holds 2 bytes, not %1").arg(count));
            base = word() << 4;
            break;
        case ExtendedLinearAddress:
            if (count != 2)
                fail(lineNumber, QStringLiteral("an extended linear address record holds 2 bytes, not %1").arg(count));
            base = word() << 16;
            break;
        case StartSegmentAddress:
        case StartLinearAddress:
            break;
        default:
            fail(lineNumber, QStringLiteral("unknown record type %1").arg(hex(static_cast<quint8>(record.at(3)), 2)));
        }
    }
    if (!sawEnd)
        throw ImageError(ImageSubject::kIntelHex, QStringLiteral("no end-of-file record (the file may be cut short)"));
    image.truncate(static_cast<qsizetype>(end));
    return image;
}
