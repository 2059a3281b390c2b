// Packing a program image into a container and back: raw -> container -> lines ->
// unescaped -> raw gives the image back, and the escaping is the wire form.
#include "flash/FirmwareImage.h"
#include "flash/ImageError.h"
#include "flash/ImagePacking.h"
#include "flash/LineCodec.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <gtest/gtest.h>

using namespace FirmwareTestFiles;

namespace {

// Every byte value, the delimiters and the escape among them, in every line.
QByteArray everyValueImage(int lines)
{
    QByteArray image;
    for (int i = 0; i < lines * 64; ++i)
        image.append(static_cast<char>((i * 37 + i / 64) & 0xFF));
    return image;
}

TEST(ImagePacking, RawToContainerToLinesToRawGivesTheImageBack)
{
    const QByteArray image = everyValueImage(16);
    const QByteArray container = ImagePacking::packImage(image);
    const LineRecords lines = unpackFirmware(container);
    ASSERT_EQ(lines.size(), 16);
    EXPECT_EQ(ImagePacking::imageFromLines(lines), image);
    EXPECT_EQ(containerRecordBytes(lines), container.size());
    for (int k = 0; k < lines.size(); ++k) {
        const QByteArray line = image.mid(k * 64, 64);
        const int specials = int(line.count('\x02') + line.count('\x04') + line.count('\x7F'));
        const int checksumEscape = LineCodec::needsEscape(static_cast<char>(LineCodec::checksum(line))) ? 1 : 0;
        EXPECT_EQ(lines[k].size(), 65 + specials + checksumEscape) << "line " << k;
    }
}

TEST(ImagePacking, TheCommittedImageRepacksByteForByte)
{
    const QByteArray container = committedTestImage();
    const QByteArray image = ImagePacking::imageFromLines(unpackFirmware(container));
    EXPECT_EQ(ImagePacking::packImage(image, 1), container);
    EXPECT_EQ(ImagePacking::packImage(image), container.left(container.size() - 1));
}

TEST(ImagePacking, EscapesExactlyTheDelimitersAndTheEscapeItself)
{
    QByteArray line(64, '\x10');
    line[0] = '\x02';
    line[1] = '\x04';
    line[2] = '\x7F';
    line[3] = '\x03';
    line[4] = '\xFF';
    line[5] = '\0';
    // 0x02 + 0x04 + 0x7F + 0x03 + 0xFF + 58 * 0x10 = 0x527, so the checksum is 0x27.
    const QByteArray body = LineCodec::encodeLine(line);
    EXPECT_EQ(body.left(9), QByteArray("\x7F\x02\x7F\x04\x7F\x7F\x03\xFF\x00", 9));
    EXPECT_EQ(body.size(), 68);
    EXPECT_EQ(body.back(), '\x27');
    const LineCodec::Decoded decoded = LineCodec::decodeLine(body);
    ASSERT_TRUE(decoded.ok) << decoded.fault.toStdString();
    EXPECT_EQ(decoded.logical, line + '\x27');
}

TEST(ImagePacking, EscapesAChecksumThatIsADelimiter)
{
    // No delimiter among the bytes, but they sum to 0x04: stored as 7F 04.
    QByteArray line(64, '\0');
    line[63] = '\x01';
    line[62] = '\x03';
    EXPECT_EQ(LineCodec::encodeLine(line).right(2), QByteArray("\x7F\x04", 2));
}

TEST(ImagePacking, RefusesImagesThatAreNotWholeLinesOrOutOfSize)
{
    const struct {
        qsizetype size;
        const char *message;
    } cases[] = {
        {100, "the image is 100 bytes, not a whole number of 64-byte lines (1 lines and 36 bytes over)"},
        {64, "the image is 64 bytes; it needs at least two 64-byte lines"},
        {0, "the image is 0 bytes; it needs at least two 64-byte lines"},
        {0x10040, "the image is 65600 bytes, more than the 65536 bytes of the MCS-51 code space"},
    };
    for (const auto &c : cases) {
        try {
            ImagePacking::packImage(QByteArray(c.size, '\x11'));
            ADD_FAILURE() << c.size << " bytes accepted";
        } catch (const ImageError &error) {
            EXPECT_EQ(error.message().toStdString(), c.message);
        }
    }
    EXPECT_EQ(unpackFirmware(ImagePacking::packImage(QByteArray(0x10000, '\x11'))).size(), 1024);
}

} // namespace
