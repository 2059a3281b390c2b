#include "tools/fwimage/TestImageGenerator.h"

#include "flash/ImagePacking.h"
#include "flash/LineCodec.h"
#include "link/CameraVersion.h"

#include <QBitArray>
#include <QVector>

#include <stdexcept>
#include <utility>

namespace {

constexpr quint64 kSeed = 0x50545A320346ULL;   // "PTZ2", version 3.46
constexpr int kLineCount = 899;
constexpr int kLineBytes = ImagePacking::kLineBytes;
constexpr int kImageBytes = kLineCount * kLineBytes;
constexpr int kTrailingBytes = 1;

// Escapes over the whole container, checksums included.
constexpr int kEscapeFreeBodies = 465;
constexpr int kMostEscapesInOneBody = 15;   // L = 80
constexpr int kEscapedBytes = 1112;
// 0x02, 0x04, 0x7F, in the order of FirmwareFigures::kEscapedValues.
constexpr int kEscapedByValue[FirmwareFigures::kEscapedValueCount] = {682, 237, 193};
// The checksums that are themselves escaped, one record each.
constexpr char kEscapedChecksums[] = {0x02, 0x04, 0x7F, 0x02, 0x04, 0x02, 0x7F};
constexpr int kEscapedChecksumCount = int(sizeof kEscapedChecksums);

// Reset and interrupt vectors: LJMP (0x02) to a handler. No target holds a byte that
// needs an escape, so the vectors add exactly one escape each.
constexpr char kLjmp = 0x02;
struct Vector {
    int address;
    quint16 target;
};
constexpr Vector kVectors[] = {
    {0x00, 0x0E3A},   // reset
    {0x03, 0x0C51},   // external interrupt 0
    {0x0B, 0x1A08},   // timer 0
    {0x13, 0x0C53},   // external interrupt 1
    {0x1B, 0x1B60},   // timer 1
    {0x23, 0x2D15},   // serial port
    {0x2B, 0x1B91},   // timer 2
    {0x33, 0x0C55},   // spare vector of the 8052 family
};

// The version text the camera reports ("CBOX 3.46"), across the boundary of records 1
// and 2, ended by a zero byte as the firmware's strings are.
constexpr int kVersionOffset = 0x7B;
const QByteArray kVersionText = CameraVersion::referenceText();

// SplitMix64: small, fully specified, the same everywhere (the distributions of
// <random> are not).
class Random {
public:
    explicit Random(quint64 seed) : m_state(seed) {}

    quint64 next()
    {
        quint64 z = (m_state += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    int below(int bound) { return static_cast<int>(next() % quint64(bound)); }

    char plainByte()
    {
        for (;;) {
            const char byte = static_cast<char>(next() & 0xFF);
            if (!LineCodec::needsEscape(byte))
                return byte;
        }
    }

    template <typename T>
    void shuffle(QVector<T> &items)
    {
        for (int i = int(items.size()) - 1; i > 0; --i)
            std::swap(items[i], items[below(i + 1)]);
    }

private:
    quint64 m_state;
};

int valueIndex(char value)
{
    for (int i = 0; i < FirmwareFigures::kEscapedValueCount; ++i) {
        if (FirmwareFigures::kEscapedValues[i] == value)
            return i;
    }
    throw std::logic_error("not an escaped value");
}

// The bytes whose place and value are given: vectors and version text.
struct FixedBytes {
    QByteArray image = QByteArray(kImageBytes, '\0');
    QBitArray fixed = QBitArray(kImageBytes);

    void put(int address, char byte)
    {
        image[address] = byte;
        fixed.setBit(address);
    }
};

FixedBytes fixedBytes()
{
    FixedBytes bytes;
    for (const Vector &vector : kVectors) {
        bytes.put(vector.address, kLjmp);
        bytes.put(vector.address + 1, static_cast<char>(vector.target >> 8));
        bytes.put(vector.address + 2, static_cast<char>(vector.target & 0xFF));
    }
    const int textLength = int(kVersionText.size()) + 1;   // with its zero byte
    for (int i = 0; i < textLength; ++i)
        bytes.put(kVersionOffset + i, kVersionText.constData()[i]);
    return bytes;
}

// How many escapes each record has and which of them is its checksum.
struct EscapePlan {
    QVector<int> escapes = QVector<int>(kLineCount, 0);
    QVector<int> checksum = QVector<int>(kLineCount, -1);   // planned escaped checksum, or -1
};

EscapePlan planEscapes(Random &random, const FixedBytes &fixed)
{
    EscapePlan plan;
    // Record 0 holds the vector table and is the longest body; the others that
    // need escapes are drawn at random and share the rest, one escape at least each.
    QVector<int> others;
    for (int record = 1; record < kLineCount; ++record)
        others.append(record);
    random.shuffle(others);
    others.resize(kLineCount - kEscapeFreeBodies - 1);

    plan.escapes[0] = kMostEscapesInOneBody;
    int left = kEscapedBytes - kMostEscapesInOneBody;
    for (int record : others) {
        plan.escapes[record] = 1;
        --left;
    }
    while (left > 0) {
        const int record = others.at(random.below(int(others.size())));
        if (plan.escapes[record] < kMostEscapesInOneBody) {
            ++plan.escapes[record];
            --left;
        }
    }
    for (int i = 0; i < kEscapedChecksumCount; ++i)
        plan.checksum[others.at(i)] = static_cast<quint8>(kEscapedChecksums[i]);

    // Fixed bytes that need escapes must fit the plan of their record.
    for (int record = 0; record < kLineCount; ++record) {
        int fixedEscapes = 0;
        for (int i = record * kLineBytes; i < (record + 1) * kLineBytes; ++i)
            fixedEscapes += fixed.fixed.testBit(i) && LineCodec::needsEscape(fixed.image.at(i));
        if (fixedEscapes + (plan.checksum[record] >= 0) > plan.escapes[record])
            throw std::logic_error("the fixed bytes need more escapes than planned");
    }
    return plan;
}

// The escaped image bytes still to place, after the fixed ones and the checksums.
QVector<char> escapedValuesToPlace(Random &random, const FixedBytes &fixed)
{
    int count[FirmwareFigures::kEscapedValueCount];
    std::copy(std::begin(kEscapedByValue), std::end(kEscapedByValue), count);
    for (int i = 0; i < kImageBytes; ++i) {
        if (fixed.fixed.testBit(i) && LineCodec::needsEscape(fixed.image.at(i)))
            --count[valueIndex(fixed.image.at(i))];
    }
    for (char checksum : kEscapedChecksums)
        --count[valueIndex(checksum)];

    QVector<char> values;
    for (int v = 0; v < FirmwareFigures::kEscapedValueCount; ++v)
        values.append(QVector<char>(count[v], FirmwareFigures::kEscapedValues[v]));
    random.shuffle(values);
    return values;
}

// Fills the free bytes of one line and steers its sum: to the planned escaped
// checksum, or else to any value that needs no escape.
void fillLine(Random &random, QByteArray &image, const QBitArray &fixed, int record, int escapes,
              int plannedChecksum, QVector<char> &toPlace)
{
    const int first = record * kLineBytes;
    QVector<int> freePlaces;
    int fixedEscapes = 0;
    for (int i = first; i < first + kLineBytes; ++i) {
        if (!fixed.testBit(i))
            freePlaces.append(i);
        else if (LineCodec::needsEscape(image.at(i)))
            ++fixedEscapes;
    }
    random.shuffle(freePlaces);

    const int placed = escapes - fixedEscapes - (plannedChecksum >= 0);
    if (placed > toPlace.size() || placed + 2 > freePlaces.size())
        throw std::logic_error("a line has no room for its planned escapes");
    for (int i = 0; i < freePlaces.size(); ++i)
        image[freePlaces.at(i)] = i < placed ? toPlace.takeLast() : random.plainByte();

    // The steering byte and the bytes re-drawn to help it are plain bytes, so the
    // line keeps its planned escapes.
    const int steering = freePlaces.last();
    const auto sumWithoutSteering = [&]() {
        return static_cast<quint8>(LineCodec::checksum(image.mid(first, kLineBytes)) - static_cast<quint8>(image.at(steering)));
    };
    for (;;) {
        if (plannedChecksum >= 0) {
            const char needed = static_cast<char>(plannedChecksum - sumWithoutSteering());
            if (!LineCodec::needsEscape(needed)) {
                image[steering] = needed;
                return;
            }
            image[freePlaces.at(placed + random.below(int(freePlaces.size()) - placed - 1))] = random.plainByte();
        } else {
            if (!LineCodec::needsEscape(static_cast<char>(LineCodec::checksum(image.mid(first, kLineBytes)))))
                return;
            image[steering] = random.plainByte();
        }
    }
}

QStringList differences(const FirmwareFigures &made, const FirmwareFigures &required)
{
    QStringList lines;
    const QStringList have = made.describe();
    const QStringList want = required.describe();
    for (int i = 0; i < have.size(); ++i) {
        if (have.at(i) != want.at(i))
            lines.append(QStringLiteral("%1, required %2").arg(have.at(i), want.at(i)));
    }
    return lines;
}

} // namespace

FirmwareFigures TestImageGenerator::requiredFigures()
{
    FirmwareFigures figures;
    figures.recordCount = kLineCount;
    figures.upperIndex = kLineCount - 1;
    figures.imageBytes = kImageBytes;
    figures.trailingBytes = kTrailingBytes;
    figures.containerBytes = 4 + qint64(kLineCount) * (4 + LineCodec::kLogicalBytes) + kEscapedBytes + kTrailingBytes;
    figures.shortestBody = LineCodec::kLogicalBytes;
    figures.longestBody = LineCodec::kLogicalBytes + kMostEscapesInOneBody;
    figures.bodiesWithoutEscape = kEscapeFreeBodies;
    figures.escapedBytes = kEscapedBytes;
    for (int v = 0; v < FirmwareFigures::kEscapedValueCount; ++v)
        figures.escapedByValue[v] = kEscapedByValue[v];
    figures.escapedChecksums = kEscapedChecksumCount;
    for (char checksum : kEscapedChecksums)
        ++figures.escapedChecksumsByValue[valueIndex(checksum)];
    figures.versionText = QString::fromLatin1(kVersionText);
    figures.versionOffset = kVersionOffset;
    return figures;
}

QByteArray TestImageGenerator::generateImage()
{
    Random random(kSeed);
    const FixedBytes fixed = fixedBytes();
    const EscapePlan plan = planEscapes(random, fixed);
    QVector<char> toPlace = escapedValuesToPlace(random, fixed);

    QByteArray image = fixed.image;
    for (int record = 0; record < kLineCount; ++record)
        fillLine(random, image, fixed.fixed, record, plan.escapes[record], plan.checksum[record], toPlace);
    if (!toPlace.isEmpty())
        throw std::logic_error("escaped values left over after the last line");
    return image;
}

QByteArray TestImageGenerator::generate()
{
    const QByteArray image = generateImage();
    const QByteArray container = ImagePacking::packImage(image, kTrailingBytes);

    QStringList faults = differences(FirmwareFigures::of(container), requiredFigures());
    for (const Vector &vector : kVectors) {
        if (image.at(vector.address) != kLjmp)
            faults.append(QStringLiteral("no LJMP at vector 0x%1").arg(vector.address, 2, 16, QLatin1Char('0')));
    }
    if (!faults.isEmpty())
        throw std::runtime_error(("the test image misses its figures: " + faults.join(QStringLiteral("; "))).toStdString());
    return container;
}
