// The committed test image, read the way the program reads it: the figures it must
// share with the camera's real image, and the edge cases of the container format.
#include "flash/FirmwareImage.h"
#include "flash/ImagePacking.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tools/fwimage/FirmwareFigures.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace FirmwareTestFiles;

namespace {

constexpr int kLines = 899;
constexpr char kEscape = 0x7F;

// Undoes the 0x7F pairs without any checking: a second opinion on the codec.
QByteArray unescaped(const QByteArray &body)
{
    QByteArray logical;
    for (qsizetype i = 0; i < body.size(); ++i)
        logical.append(body.at(i) == kEscape ? body.at(++i) : body.at(i));
    return logical;
}

// True when an STX or EOT in the body is not the second byte of a 0x7F pair.
bool hasBareDelimiter(const QByteArray &body)
{
    for (qsizetype i = 0; i < body.size(); ++i) {
        if (body.at(i) == kEscape)
            ++i;
        else if (body.at(i) == '\x02' || body.at(i) == '\x04')
            return true;
    }
    return false;
}

// True when the body's last byte is the second byte of a 0x7F pair.
bool checksumIsEscaped(const QByteArray &body)
{
    qsizetype i = 0;
    while (i < body.size() - 1)
        i += body.at(i) == kEscape ? 2 : 1;
    return i == body.size();   // the last pair ended exactly at the end
}

class CommittedImage : public ::testing::Test {
protected:
    void SetUp() override
    {
        container = committedTestImage();
        ASSERT_FALSE(container.isEmpty());
        lines = unpackFirmware(container);
    }

    QByteArray container;
    LineRecords lines;
};

TEST_F(CommittedImage, YieldsExactly899LinesAndIgnoresTheTrailingZero)
{
    ASSERT_EQ(lines.size(), kLines);
    EXPECT_EQ(container.size(), 63148);
    EXPECT_EQ(container.back(), '\0');
    EXPECT_EQ(containerRecordBytes(lines), container.size() - 1);
    // Whatever follows the last record is ignored, not read as more records.
    EXPECT_EQ(unpackFirmware(container.left(container.size() - 1)), lines);
    EXPECT_EQ(unpackFirmware(container + QByteArray("\x05\x00\x00\x00garbage", 11)), lines);
}

TEST_F(CommittedImage, LinesAreTheStoredBytesInOrder)
{
    qsizetype offset = 4;
    for (int k = 0; k < lines.size(); ++k) {
        const qint32 length = qFromLittleEndian<qint32>(container.constData() + offset);
        ASSERT_EQ(lines[k], container.mid(offset + 4, length)) << "record " << k;
        offset += 4 + length;
    }
    // Zero and high bytes come through untouched.
    const QByteArray all = lines.toList().join();
    EXPECT_TRUE(all.contains('\0'));
    EXPECT_TRUE(all.contains('\x80'));
    EXPECT_TRUE(all.contains('\xFF'));
}

TEST_F(CommittedImage, EveryLineUnescapedIs65BytesEndingInTheSumOfTheFirst64)
{
    for (int k = 0; k < lines.size(); ++k) {
        const QByteArray logical = unescaped(lines[k]);
        ASSERT_EQ(logical.size(), 65) << "record " << k;
        int sum = 0;
        for (int i = 0; i < 64; ++i)
            sum += static_cast<quint8>(logical.at(i));
        EXPECT_EQ(sum % 256, static_cast<quint8>(logical.at(64))) << "record " << k;
        EXPECT_FALSE(hasBareDelimiter(lines[k])) << "record " << k;
    }
}

TEST_F(CommittedImage, EscapedChecksumsKeepTheirPairAsStored)
{
    QSet<QByteArray> endings;
    int escapedChecksums = 0;
    for (const QByteArray &line : lines) {
        if (!checksumIsEscaped(line))
            continue;
        ++escapedChecksums;
        endings.insert(line.right(2));
    }
    EXPECT_EQ(escapedChecksums, 7);
    EXPECT_TRUE(endings.contains(QByteArray("\x7F\x7F", 2)));
    EXPECT_TRUE(endings.contains(QByteArray("\x7F\x04", 2)));
    EXPECT_TRUE(endings.contains(QByteArray("\x7F\x02", 2)));
}

TEST_F(CommittedImage, BodiesWithoutEscapeAreExactly65Bytes)
{
    int withoutEscape = 0;
    for (const QByteArray &line : lines) {
        if (line.contains(kEscape))
            continue;
        ++withoutEscape;
        EXPECT_EQ(line.size(), 65);
    }
    EXPECT_EQ(withoutEscape, 465);
}

TEST_F(CommittedImage, HasTheFiguresOfTheRealImage)
{
    const FirmwareFigures figures = FirmwareFigures::of(container);
    EXPECT_EQ(figures.recordCount, 899);
    EXPECT_EQ(figures.upperIndex, 898);
    EXPECT_EQ(figures.containerBytes, 63148);
    EXPECT_EQ(figures.trailingBytes, 1);
    EXPECT_EQ(figures.imageBytes, 57536);
    EXPECT_EQ(figures.shortestBody, 65);
    EXPECT_EQ(figures.longestBody, 80);
    EXPECT_EQ(figures.bodiesWithoutEscape, 465);
    EXPECT_EQ(figures.escapedBytes, 1112);
    EXPECT_EQ(figures.escapedByValue[0], 682);
    EXPECT_EQ(figures.escapedByValue[1], 237);
    EXPECT_EQ(figures.escapedByValue[2], 193);
    EXPECT_EQ(figures.escapedChecksums, 7);
    for (qint64 count : figures.escapedChecksumsByValue)
        EXPECT_GE(count, 1);
}

TEST_F(CommittedImage, IsAnMcs51ProgramWithVectorsAndTheVersionText)
{
    const QByteArray image = ImagePacking::imageFromLines(lines);
    ASSERT_EQ(image.size(), 0xE0C0);
    for (int vector : {0x00, 0x03, 0x0B, 0x13, 0x1B, 0x23, 0x2B, 0x33}) {
        EXPECT_EQ(image.at(vector), '\x02') << "LJMP at vector " << vector;
        const int target = (static_cast<quint8>(image.at(vector + 1)) << 8) | static_cast<quint8>(image.at(vector + 2));
        EXPECT_GE(target, 0x36) << "jumps into the vector table";
        EXPECT_LT(target, image.size()) << "jumps past the image";
    }
    EXPECT_EQ(image.indexOf("CBOX 3.46"), 0x7B);
    // It straddles records 1 and 2, as the real one does.
    EXPECT_EQ(0x7B / 64, 1);
    EXPECT_EQ((0x7B + 8) / 64, 2);
    EXPECT_TRUE(unescaped(lines[1]).left(64).endsWith("CBOX "));
    EXPECT_TRUE(unescaped(lines[2]).startsWith("3.46"));
}

} // namespace
