// The files the build accepts: containers, raw images and Intel HEX, told apart by
// their content, and each checked before it is embedded.
#include "flash/FirmwareImage.h"
#include "flash/FirmwareInput.h"
#include "flash/ImageError.h"
#include "flash/ImagePacking.h"
#include "flash/IntelHexReader.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <QStringList>
#include <gtest/gtest.h>

using namespace FirmwareTestFiles;
using Format = FirmwareInput::Format;

namespace {

QByteArray hexRecord(quint16 address, quint8 type, const QByteArray &data)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(data.size()));
    bytes.append(static_cast<char>(address >> 8));
    bytes.append(static_cast<char>(address & 0xFF));
    bytes.append(static_cast<char>(type));
    bytes.append(data);
    quint8 sum = 0;
    for (char byte : bytes)
        sum = static_cast<quint8>(sum + static_cast<quint8>(byte));
    bytes.append(static_cast<char>(-sum));
    return ':' + bytes.toHex().toUpper() + "\r\n";
}

// Intel HEX of an image, 16 bytes a record, ending with the end-of-file record.
QByteArray intelHexOf(const QByteArray &image, int skipFrom = -1, int skipTo = -1)
{
    QByteArray text = hexRecord(0, 0x04, QByteArray(2, '\0'));   // extended linear address 0
    for (int at = 0; at < image.size(); at += 16) {
        if (at >= skipFrom && at < skipTo)
            continue;
        text += hexRecord(static_cast<quint16>(at), 0x00, image.mid(at, 16));
    }
    return text + hexRecord(0, 0x01, QByteArray());
}

QByteArray committedImage()
{
    return ImagePacking::imageFromLines(unpackFirmware(committedTestImage()));
}

std::string imageErrorOf(const QByteArray &text)
{
    try {
        IntelHexReader::read(text);
    } catch (const ImageError &error) {
        return error.message().toStdString();
    }
    return "accepted";
}

TEST(FirmwareInput, TellsTheFormatsApartByContent)
{
    const QByteArray container = committedTestImage();
    const QByteArray image = committedImage();
    EXPECT_EQ(FirmwareInput::detect(container), Format::Container);
    EXPECT_EQ(FirmwareInput::detect(image), Format::RawImage);
    EXPECT_EQ(FirmwareInput::detect(intelHexOf(image)), Format::IntelHex);
    EXPECT_EQ(FirmwareInput::detect("\r\n" + intelHexOf(image)), Format::IntelHex);
    // Broken containers are still containers, so they are refused for their fault.
    EXPECT_EQ(FirmwareInput::detect(field(-1) + image), Format::Container);
    EXPECT_EQ(FirmwareInput::detect(field(0) + image), Format::Container);
}

TEST(FirmwareInput, AContainerIsEmbeddedUnchangedAndAnImagePacked)
{
    const QByteArray container = committedTestImage();
    const QByteArray image = committedImage();
    Format detected = Format::Auto;
    EXPECT_EQ(FirmwareInput::toContainer(container, Format::Auto, &detected), container);
    EXPECT_EQ(detected, Format::Container);
    EXPECT_EQ(FirmwareInput::toContainer(image, Format::Auto, &detected), ImagePacking::packImage(image));
    EXPECT_EQ(detected, Format::RawImage);
    EXPECT_EQ(FirmwareInput::toContainer(intelHexOf(image), Format::Auto, &detected), ImagePacking::packImage(image));
    EXPECT_EQ(detected, Format::IntelHex);
}

TEST(FirmwareInput, ABrokenContainerIsNeverPackedAsAnImage)
{
    // Padded to whole 64-byte lines, so that read as raw it would have packed.
    QByteArray container = committedTestImage();
    container.append(QByteArray(64 - container.size() % 64, '\0'));
    container[4 + 4 + 64] = static_cast<char>(container.at(4 + 4 + 64) ^ 0x01);   // a checksum of record 0
    try {
        FirmwareInput::toContainer(container, Format::Auto);
        FAIL() << "accepted";
    } catch (const FirmwareError &error) {
        EXPECT_TRUE(error.message().startsWith(QStringLiteral("record 0 of 899: "))) << error.message().toStdString();
    }
}

TEST(FirmwareInput, AnExplicitFormatOverridesTheRule)
{
    // An image that starts with four zero bytes reads as a one-record container...
    QByteArray image(128, '\x11');
    image.replace(0, 4, QByteArray(4, '\0'));
    EXPECT_THROW(FirmwareInput::toContainer(image, Format::Auto), FirmwareError);
    // ...and packs when it is named a raw image.
    EXPECT_EQ(ImagePacking::imageFromLines(unpackFirmware(FirmwareInput::toContainer(image, Format::RawImage))), image);
    Format format;
    EXPECT_TRUE(FirmwareInput::parseFormat(QStringLiteral("hex"), &format));
    EXPECT_EQ(format, Format::IntelHex);
    EXPECT_FALSE(FirmwareInput::parseFormat(QStringLiteral("elf"), &format));
}

TEST(FirmwareInput, ARawImageThatStartsLikeAContainerIsRefusedWithTheWayOut)
{
    // Four NOPs, or erased flash: the rule reads a container, and the refusal must say
    // how to read the file as the image it is.
    for (const char start : {'\x00', '\xFF'}) {
        QByteArray image(128, '\x11');
        image.replace(0, 4, QByteArray(4, start));
        try {
            FirmwareInput::toContainer(image, Format::Auto);
            ADD_FAILURE() << "accepted";
        } catch (const FirmwareError &error) {
            EXPECT_TRUE(error.message().startsWith(QStringLiteral("container: "))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("--format=raw"))) << error.message().toStdString();
            EXPECT_TRUE(error.message().contains(QStringLiteral("-DREVERTEX_FIRMWARE_FORMAT=raw")));
        }
    }
    // A container named as one was no guess: its fault stands alone.
    QByteArray container = committedTestImage();
    container[4 + 4 + 64] = static_cast<char>(container.at(4 + 4 + 64) ^ 0x01);
    try {
        FirmwareInput::toContainer(container, Format::Container);
        ADD_FAILURE() << "accepted";
    } catch (const FirmwareError &error) {
        EXPECT_FALSE(error.message().contains(QStringLiteral("--format=raw"))) << error.message().toStdString();
    }
}

TEST(FirmwareInput, RefusesAnEmptyFile)
{
    try {
        FirmwareInput::toContainer(QByteArray(), Format::Auto);
        FAIL() << "accepted";
    } catch (const ImageError &error) {
        EXPECT_EQ(error.message(), QStringLiteral("the file is empty"));
    }
}

TEST(IntelHex, FillsGapsWithErasedFlashBytes)
{
    QByteArray image(256, '\0');
    for (int i = 0; i < image.size(); ++i)
        image[i] = static_cast<char>(i);
    const QByteArray read = IntelHexReader::read(intelHexOf(image, 64, 96));
    ASSERT_EQ(read.size(), 256);
    EXPECT_EQ(read.left(64), image.left(64));
    EXPECT_EQ(read.mid(64, 32), QByteArray(32, '\xFF'));
    EXPECT_EQ(read.mid(96), image.mid(96));
}

TEST(IntelHex, AnImageThatEndsInsideALineIsRefused)
{
    const QByteArray text = intelHexOf(QByteArray(100, '\x11'));
    try {
        FirmwareInput::toContainer(text, Format::Auto);
        FAIL() << "accepted";
    } catch (const ImageError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("not a whole number of 64-byte lines"))) << error.message().toStdString();
    }
}

TEST(IntelHex, RefusesDamagedOrImpossibleFiles)
{
    const QByteArray good = intelHexOf(QByteArray(128, '\x11'));
    // 10 00 00 00 and sixteen 0x11 sum to 0x120: the record's checksum is 0xE0.
    const QByteArray goodRecord = hexRecord(0, 0x00, QByteArray(16, '\x11'));
    ASSERT_TRUE(goodRecord.endsWith("E0\r\n"));
    QByteArray badChecksum = good;
    badChecksum.replace(goodRecord, goodRecord.left(goodRecord.size() - 4) + "E1\r\n");
    QByteArray withoutEnd = good;
    withoutEnd.chop(13);   // ":00000001FF\r\n"
    const QByteArray overlapping = hexRecord(0, 0x00, "ab") + hexRecord(1, 0x00, "c") + hexRecord(0, 0x01, {});
    const QByteArray beyond = hexRecord(0, 0x04, QByteArray("\x00\x01", 2)) + hexRecord(0, 0x00, "a") + hexRecord(0, 0x01, {});

    EXPECT_EQ(imageErrorOf(good), "accepted");
    EXPECT_EQ(imageErrorOf(badChecksum), "Intel HEX: line 2: checksum 0xE1 where the record needs 0xE0");
    EXPECT_EQ(imageErrorOf(withoutEnd), "Intel HEX: no end-of-file record (the file may be cut short)");
    EXPECT_EQ(imageErrorOf(overlapping), "Intel HEX: line 2: address 0x0001 is written a second time");
    EXPECT_EQ(imageErrorOf(beyond), "Intel HEX: line 2: data at 0x10000 lies beyond the 65536-byte code space");
    EXPECT_EQ(imageErrorOf(":0100000011EF\r\n"), "Intel HEX: line 1: checksum 0xEF where the record needs 0xEE");
    EXPECT_EQ(imageErrorOf(":0100000011\r\n"), "Intel HEX: line 1: byte count 1 does not match the 0 data bytes present");
    EXPECT_EQ(imageErrorOf(":01000000\r\n"), "Intel HEX: line 1: record too short");
    EXPECT_EQ(imageErrorOf(":0G\r\n"), "Intel HEX: line 1: 'G' is not a hex digit");
    EXPECT_EQ(imageErrorOf(":00000001FF\r\n:zz"), "accepted");   // nothing after the end is read
    EXPECT_EQ(imageErrorOf("hello\r\n"), "Intel HEX: line 1: does not start with ':'");
}

} // namespace
