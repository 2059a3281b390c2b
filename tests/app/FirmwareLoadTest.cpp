// The window's load takes the firmware it is given into FirmwareLines, refuses a
// damaged image before anything can reach the camera, and says so on screen when the
// firmware is our test image.
#include "app/frmRevertex.h"
#include "flash/FirmwareImage.h"
#include "flash/ImagePacking.h"
#include "flash/LineCodec.h"
#include "link/RuntimeError.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/support/FakeCommPort.h"

#include <QLabel>
#include <QPushButton>
#include <QtEndian>
#include <gtest/gtest.h>

#include <memory>

namespace {

QByteArray container(const QList<QByteArray> &bodies)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(static_cast<qint32>(bodies.size() - 1), bytes.data());
    for (const QByteArray &body : bodies) {
        char length[4];
        qToLittleEndian<qint32>(static_cast<qint32>(body.size()), length);
        bytes.append(length, 4).append(body);
    }
    return bytes;
}

QByteArray goodLine(char fill) { return LineCodec::encodeLine(QByteArray(64, fill)); }

struct Loaded {
    FakeCommPort *port = nullptr;
    std::unique_ptr<frmRevertex> window;
};

Loaded load(const QByteArray &firmware)
{
    Loaded loaded;
    auto port = std::make_unique<FakeCommPort>();
    loaded.port = port.get();
    frmRevertex::Parts parts;
    parts.port = std::move(port);
    parts.firmware = firmware;
    parts.fatalError = [](int, const QString &) { ADD_FAILURE() << "no handler runs during the load"; };
    loaded.window = std::make_unique<frmRevertex>(std::move(parts));
    return loaded;
}

QString label10(const frmRevertex &window) { return window.findChild<QLabel *>(QStringLiteral("Label10"))->text(); }

// Known by its image however it was packed; any other firmware leaves the web address.
TEST(FirmwareLoad, TheTestImageSaysSoInTheWebAddressLineForTheWholeRun)
{
    const QByteArray testImage = FirmwareTestFiles::committedTestImage();
    QByteArray image = ImagePacking::imageFromLines(unpackFirmware(testImage));
    const QByteArray repacked = ImagePacking::packImage(image);   // as from a raw or HEX file
    image[0x200] = static_cast<char>(image.at(0x200) ^ 0x01);
    const struct {
        const char *what;
        QByteArray firmware;
        bool isTestImage;
    } cases[] = {
        {"the committed container", testImage, true},
        {"its image packed again", repacked, true},
        {"one byte changed", ImagePacking::packImage(image), false},
        {"other firmware", FirmwareTestFiles::plainFirmware(), false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const Loaded loaded = load(c.firmware);
        EXPECT_EQ(loaded.window->holdsTestImage(), c.isTestImage);
        const QString expected = c.isTestImage ? QStringLiteral("TEST FIRMWARE: for the simulated camera only")
                                               : QStringLiteral("www.optivant.com");
        EXPECT_EQ(label10(*loaded.window), expected);
        loaded.window->findChild<QPushButton *>(QStringLiteral("cmdNext"))->click();
        loaded.window->land(Landing::NeedsFlashing);
        EXPECT_EQ(label10(*loaded.window), expected);
    }
}

TEST(FirmwareLoad, AGivenContainerIsTakenByteForByte)
{
    const QByteArray escaped = LineCodec::encodeLine(QByteArray(64, '\x7F'));
    const Loaded loaded = load(container({goodLine('\x01'), escaped, goodLine('\xF0')}) + QByteArray(3, '\0'));
    ASSERT_EQ(loaded.window->firmwareLines().size(), 3);
    EXPECT_EQ(loaded.window->firmwareLines().at(1), escaped);
}

// The window is never made, so no port is opened and no timer can start.
TEST(FirmwareLoad, ADamagedImageStopsTheLoad)
{
    QByteArray badSum = goodLine('\x01');
    badSum[10] = '\x03';
    for (const QByteArray &bad : {container({goodLine('\x01'), badSum}), container({goodLine('\x01')}),
                                  container({goodLine('\x01'), goodLine('\x02')}).left(70), QByteArray("\x05"), QByteArray()}) {
        try {
            load(bad);
            ADD_FAILURE() << "loaded a damaged image " << bad.toHex().left(40).constData();
        } catch (const RuntimeError &error) {
            EXPECT_EQ(error.number(), 321);
            EXPECT_TRUE(error.description().contains("firmware image")) << error.description().toStdString();
            EXPECT_TRUE(error.description().contains("Nothing has been sent")) << error.description().toStdString();
        }
    }
}

TEST(FirmwareLoad, TheMessageNamesTheRecordAndTheFault)
{
    QByteArray bareEot = goodLine('\x01');
    bareEot[5] = '\x04';
    try {
        load(container({goodLine('\x01'), goodLine('\x01'), bareEot}));
        FAIL() << "loaded a line with a bare EOT";
    } catch (const RuntimeError &error) {
        EXPECT_TRUE(error.description().contains("record 2")) << error.description().toStdString();
        EXPECT_TRUE(error.description().contains("0x04")) << error.description().toStdString();
    }
}

} // namespace
