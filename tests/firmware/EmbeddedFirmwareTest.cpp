// The firmware resource reaches a program that links revertex_embedded_firmware:
// this test program is linked separately from the library that carries it.
#include "flash/FirmwareImage.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <gtest/gtest.h>

using namespace FirmwareTestFiles;

namespace {

TEST(EmbeddedFirmware, IsTheContainerTheBuildChecked)
{
    const QByteArray embedded = embeddedFirmwareContainer();
    EXPECT_EQ(embedded, readFile(buildPath(QStringLiteral("firmware/firmware.container"))));
    EXPECT_GE(unpackFirmware(embedded).size(), 2);
}

TEST(EmbeddedFirmware, IsTheCommittedTestImageWhenNoFirmwareIsChosen)
{
#if REVERTEX_EMBEDS_TEST_IMAGE
    EXPECT_EQ(embeddedFirmwareContainer(), committedTestImage());
    EXPECT_EQ(unpackFirmware(embeddedFirmwareContainer()).size(), 899);
#else
    GTEST_SKIP() << "this build embeds the firmware named by REVERTEX_FIRMWARE";
#endif
}

TEST(EmbeddedFirmware, AMissingResourceIsReportedNotReadAsEmpty)
{
    try {
        firmwareContainerFromResource(QStringLiteral(":/CUSTOM/102"));
        FAIL() << "read a resource that does not exist";
    } catch (const FirmwareError &error) {
        EXPECT_EQ(error.record(), -1);
        EXPECT_EQ(error.message(), QStringLiteral("container: no firmware is embedded in this program"));
    }
}

} // namespace
