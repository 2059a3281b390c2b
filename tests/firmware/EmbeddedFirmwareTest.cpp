// What a program that links revertex_embedded_firmware carries: nothing in a build
// without -DREVERTEX_FIRMWARE (it asks for the firmware when it starts), the container
// the build checked in one with it. This test program is linked apart from the library
// that carries the resource, as the program is.
#include "flash/EmbeddedFirmware.h"
#include "flash/FirmwareImage.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <gtest/gtest.h>

using namespace FirmwareTestFiles;

namespace {

TEST(EmbeddedFirmware, IsWhatTheBuildWasGiven)
{
    const std::optional<QByteArray> embedded = embeddedFirmwareContainer();
#if REVERTEX_EMBEDS_FIRMWARE
    ASSERT_TRUE(embedded.has_value());
    EXPECT_EQ(*embedded, readFile(buildPath(QStringLiteral("firmware/firmware.container"))));
    EXPECT_GE(unpackFirmware(*embedded).size(), 2);
#else
    EXPECT_FALSE(embedded.has_value()) << "a build without REVERTEX_FIRMWARE carries " << embedded->size() << " bytes";
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
