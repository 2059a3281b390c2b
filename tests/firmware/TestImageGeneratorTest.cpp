// The committed test image is exactly what the generator makes, so it can be
// rebuilt at any time and nobody has edited it by hand.
#include "flash/FirmwareImage.h"
#include "flash/TestFirmware.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tools/fwimage/FirmwareFigures.h"
#include "tools/fwimage/TestImageGenerator.h"

#include <gtest/gtest.h>

namespace {

TEST(TestImageGenerator, MakesTheCommittedImageByteForByte)
{
    const QByteArray generated = TestImageGenerator::generate();
    const QByteArray committed = FirmwareTestFiles::committedTestImage();
    ASSERT_EQ(generated.size(), committed.size());
    EXPECT_TRUE(generated == committed)
        << "the generator and resources/firmware/ptz2-test-image.container differ: "
           "regenerate it with fwimage generate-test-image";
    // The program knows it for the test image (and says so on screen).
    EXPECT_TRUE(TestFirmware::isTestImage(unpackFirmware(generated)));
}

TEST(TestImageGenerator, RequiresTheFiguresOfTheRealImage)
{
    // The generator checks its output against these: they must be the real image's.
    const QStringList required = TestImageGenerator::requiredFigures().describe();
    const QStringList expected = {
        QStringLiteral("records: 899"),
        QStringLiteral("upper index U: 898"),
        QStringLiteral("container size: 63148 bytes"),
        QStringLiteral("trailing bytes: 1"),
        QStringLiteral("program image: 57536 bytes"),
        QStringLiteral("body length L: 65 to 80"),
        QStringLiteral("bodies without escape: 465"),
        QStringLiteral("escaped bytes: 1112 (0x02: 682, 0x04: 237, 0x7F: 193)"),
        QStringLiteral("escaped checksums: 7 (0x02: 3, 0x04: 2, 0x7F: 2)"),
        QStringLiteral("version text: \"CBOX 3.46\" at image offset 0x7B"),
    };
    EXPECT_EQ(required, expected);
}

} // namespace
