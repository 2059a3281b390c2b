// The committed images: sizes, colour depths, the strip's cell layout and turn, the
// icon file's three pictures, and that artgen draws them again the same.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

#include <cmath>

namespace {

QString sourcePath(const QString &relative)
{
    return QDir(qEnvironmentVariable("REVERTEX_SOURCE_DIR", QStringLiteral("."))).filePath(relative);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct PngHeader {
    quint32 width = 0, height = 0;
    int bitDepth = 0, colourType = 0;
    int paletteEntries = 0;
};

// IHDR, and PLTE when present, read straight from the file.
PngHeader pngHeader(const QByteArray &png)
{
    PngHeader h;
    if (png.size() < 33 || !png.startsWith("\x89PNG\r\n\x1a\n"))
        return h;
    h.width = qFromBigEndian<quint32>(png.constData() + 16);
    h.height = qFromBigEndian<quint32>(png.constData() + 20);
    h.bitDepth = uchar(png[24]);
    h.colourType = uchar(png[25]);
    for (qsizetype at = 8; at + 8 <= png.size();) {
        const quint32 length = qFromBigEndian<quint32>(png.constData() + at);
        if (png.mid(at + 4, 4) == "PLTE")
            h.paletteEntries = int(length / 3);
        at += 12 + length;
    }
    return h;
}

bool isWhite(const QImage &image, int x, int y)
{
    return (image.pixel(x, y) & 0xffffff) == 0xffffff;
}

// Columns of a 64 x 64 cell that hold anything but the white ground.
int drawnWidth(const QImage &strip, int cell)
{
    int width = 0;
    for (int x = 0; x < 64; ++x) {
        bool drawn = false;
        for (int y = 0; y < 64 && !drawn; ++y)
            drawn = !isWhite(strip, 64 * cell + x, y);
        width += drawn ? 1 : 0;
    }
    return width;
}

bool cellHolds(const QImage &strip, int cell, QRgb colour)
{
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            if (strip.pixel(64 * cell + x, y) == colour)
                return true;
    return false;
}

} // namespace

TEST(Images, EmblemIs64Square256Colours)
{
    const QByteArray png = readAll(sourcePath(QStringLiteral("resources/images/emblem.png")));
    const PngHeader h = pngHeader(png);
    EXPECT_EQ(h.width, 64u);
    EXPECT_EQ(h.height, 64u);
    EXPECT_EQ(h.colourType, 3);   // palette
    EXPECT_EQ(h.bitDepth, 8);
    EXPECT_EQ(h.paletteEntries, 256);

    const QImage emblem = QImage::fromData(png);
    ASSERT_FALSE(emblem.isNull());
    for (const QPoint corner : {QPoint(0, 0), QPoint(63, 0), QPoint(0, 63), QPoint(63, 63)})
        EXPECT_TRUE(isWhite(emblem, corner.x(), corner.y()));   // it sits on the white banner
    EXPECT_FALSE(isWhite(emblem, 32, 32));
}

TEST(Images, StripIs33CellsOf64In16Colours)
{
    const QByteArray png = readAll(sourcePath(QStringLiteral("resources/images/strip.png")));
    const PngHeader h = pngHeader(png);
    EXPECT_EQ(h.width, 2112u);
    EXPECT_EQ(h.height, 64u);
    EXPECT_EQ(h.colourType, 3);
    EXPECT_EQ(h.bitDepth, 4);
    EXPECT_EQ(h.paletteEntries, 16);

    const QImage strip = QImage::fromData(png);
    ASSERT_EQ(strip.size(), QSize(2112, 64));
    for (int k = 0; k < 33; ++k) {
        EXPECT_TRUE(isWhite(strip, 64 * k, 0)) << k;
        EXPECT_TRUE(isWhite(strip, 64 * k + 63, 63)) << k;
    }
}

// A picture drawn at twice the pixels, taken back to its own size by averaging each
// 2 x 2 block: how far it is, on average per channel, from the picture of size 1.
double meanDifferenceAtHalfSize(const QImage &doubled, const QImage &single)
{
    const QImage big = doubled.convertToFormat(QImage::Format_RGB32);
    const QImage small = single.convertToFormat(QImage::Format_RGB32);
    double total = 0;
    for (int y = 0; y < small.height(); ++y)
        for (int x = 0; x < small.width(); ++x) {
            int sum[3] = {0, 0, 0};
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const QRgb c = big.pixel(2 * x + dx, 2 * y + dy);
                    sum[0] += qRed(c);
                    sum[1] += qGreen(c);
                    sum[2] += qBlue(c);
                }
            const QRgb c = small.pixel(x, y);
            total += std::abs(sum[0] / 4.0 - qRed(c)) + std::abs(sum[1] / 4.0 - qGreen(c)) + std::abs(sum[2] / 4.0 - qBlue(c));
        }
    return total / (3.0 * small.width() * small.height());
}

TEST(Images, DoublePicturesHoldTwiceThePixelsInTheSameColourDepths)
{
    const PngHeader emblem = pngHeader(readAll(sourcePath(QStringLiteral("resources/images/emblem@2x.png"))));
    EXPECT_EQ(emblem.width, 128u);
    EXPECT_EQ(emblem.height, 128u);
    EXPECT_EQ(emblem.bitDepth, 8);
    EXPECT_EQ(emblem.paletteEntries, 256);
    const PngHeader strip = pngHeader(readAll(sourcePath(QStringLiteral("resources/images/strip@2x.png"))));
    EXPECT_EQ(strip.width, 4224u);
    EXPECT_EQ(strip.height, 128u);
    EXPECT_EQ(strip.bitDepth, 4);
    EXPECT_EQ(strip.paletteEntries, 16);
    const QImage icon(sourcePath(QStringLiteral("resources/images/revertex-32@2x.png")));
    EXPECT_EQ(icon.size(), QSize(64, 64));
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(32, 32)), 255);
}

TEST(Images, DoublePicturesShowTheSameArtAsTheSingleOnes)
{
    const QString dir = QStringLiteral("resources/images/");
    const QImage emblem(sourcePath(dir + QStringLiteral("emblem.png")));
    const QImage emblem2x(sourcePath(dir + QStringLiteral("emblem@2x.png")));
    const QImage strip(sourcePath(dir + QStringLiteral("strip.png")));
    const QImage strip2x(sourcePath(dir + QStringLiteral("strip@2x.png")));
    ASSERT_EQ(emblem2x.size(), emblem.size() * 2);
    ASSERT_EQ(strip2x.size(), strip.size() * 2);
    // Edges fall on other pixels and the palettes differ a little; the art does not.
    constexpr double kSameArt = 6.0;
    EXPECT_LT(meanDifferenceAtHalfSize(emblem2x, emblem), kSameArt);
    for (int k = 0; k < 33; ++k)
        EXPECT_LT(meanDifferenceAtHalfSize(strip2x.copy(128 * k, 0, 128, 128), strip.copy(64 * k, 0, 64, 64)), kSameArt)
            << "cell " << k;
    // ... and the cells are not interchangeable: each matches its own cell best.
    EXPECT_GT(meanDifferenceAtHalfSize(strip2x.copy(128 * 4, 0, 128, 128), strip.copy(64 * 5, 0, 64, 64)), kSameArt);
    for (const QPoint corner : {QPoint(0, 0), QPoint(127, 0), QPoint(0, 127), QPoint(127, 127)})
        EXPECT_TRUE(isWhite(emblem2x, corner.x(), corner.y()));   // the white banner shows round it
}

TEST(Images, StripTurnsTheEmblemOnceFrontThenBack)
{
    const QImage strip(sourcePath(QStringLiteral("resources/images/strip.png")));
    const QImage emblem(sourcePath(QStringLiteral("resources/images/emblem.png")));
    ASSERT_FALSE(strip.isNull());
    ASSERT_FALSE(emblem.isNull());

    int widths[33];
    for (int k = 0; k < 33; ++k)
        widths[k] = drawnWidth(strip, k);

    EXPECT_LE(widths[0], 6);           // edge-on
    for (int k = 8; k <= 9; ++k)
        EXPECT_GE(widths[k], 58) << k; // the face, square on
    EXPECT_LE(std::min(widths[16], widths[17]), 10);   // edge-on again
    for (int k = 24; k <= 25; ++k)
        EXPECT_GE(widths[k], 58) << k;
    EXPECT_LE(widths[32], 24);         // nearly edge-on before the turn starts over
    for (int k = 0; k < 5; ++k)
        EXPECT_LT(widths[k], widths[k + 1]) << k;   // opening up

    // The lens (dark ring around the centre of the emblem) is on the front only.
    const QRgb lens = emblem.pixel(32, 32 - 10);
    for (int k = 5; k <= 12; ++k)
        EXPECT_TRUE(cellHolds(strip, k, lens)) << k;
    for (int k = 21; k <= 29; ++k)
        EXPECT_FALSE(cellHolds(strip, k, lens)) << k;
}

TEST(Images, IconHoldsThe32And16PixelColourPicturesAndA32PixelMonochromeOne)
{
    const QByteArray ico = readAll(sourcePath(QStringLiteral("resources/images/revertex.ico")));
    ASSERT_GE(ico.size(), 6 + 3 * 16);
    auto u16 = [&](qsizetype at) { return qFromLittleEndian<quint16>(ico.constData() + at); };
    auto u32 = [&](qsizetype at) { return qFromLittleEndian<quint32>(ico.constData() + at); };
    EXPECT_EQ(u16(0), 0);
    EXPECT_EQ(u16(2), 1);   // icon
    ASSERT_EQ(u16(4), 3);

    const struct { int size, colours, bits; } expected[] = {{32, 16, 4}, {16, 16, 4}, {32, 2, 1}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const qsizetype entry = 6 + 16 * i;
        EXPECT_EQ(uchar(ico[entry]), expected[i].size);
        EXPECT_EQ(uchar(ico[entry + 1]), expected[i].size);
        EXPECT_EQ(uchar(ico[entry + 2]), expected[i].colours);
        EXPECT_EQ(u16(entry + 6), expected[i].bits);
        const quint32 bytes = u32(entry + 8), offset = u32(entry + 12);
        ASSERT_LE(qsizetype(offset) + qsizetype(bytes), ico.size());
        // The bitmap header: 40 bytes, the height counting the AND mask too.
        EXPECT_EQ(u32(offset), 40u);
        EXPECT_EQ(qint32(u32(offset + 4)), expected[i].size);
        EXPECT_EQ(qint32(u32(offset + 8)), 2 * expected[i].size);
        EXPECT_EQ(u16(offset + 14), expected[i].bits);
        const int colourRow = ((expected[i].size * expected[i].bits + 31) / 32) * 4;
        const int maskRow = ((expected[i].size + 31) / 32) * 4;
        EXPECT_EQ(bytes, quint32(40 + 4 * expected[i].colours + (colourRow + maskRow) * expected[i].size));
    }

    QImageReader reader(sourcePath(QStringLiteral("resources/images/revertex.ico")));
    EXPECT_EQ(reader.imageCount(), 3);
    const QIcon icon(sourcePath(QStringLiteral("resources/images/revertex.ico")));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16)));
    EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32)));
}

TEST(Images, DesktopIconIsA48PixelPictureWithTransparency)
{
    const QImage png(sourcePath(QStringLiteral("resources/images/revertex.png")));
    EXPECT_EQ(png.size(), QSize(48, 48));
    EXPECT_TRUE(png.hasAlphaChannel());
    EXPECT_EQ(qAlpha(png.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(png.pixel(24, 24)), 255);
}

TEST(Images, ArtgenDrawsTheCommittedImagesAgain)
{
#ifdef Q_OS_WIN
    const QString program = QStringLiteral("artgen.exe");
#else
    const QString program = QStringLiteral("artgen");
#endif
    const QString artgen = QDir(qEnvironmentVariable("REVERTEX_BUILD_DIR")).filePath(program);
    ASSERT_TRUE(QFile::exists(artgen)) << "artgen is built with the tests";
    QTemporaryDir out;
    ASSERT_TRUE(out.isValid());
    QProcess run;
    run.start(artgen, {out.path()});
    ASSERT_TRUE(run.waitForFinished(60000));
    ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

    // The icon is written byte by byte by artgen itself; the PNGs go through zlib, so
    // their pictures and palettes are compared rather than their compressed bytes.
    EXPECT_EQ(readAll(out.filePath(QStringLiteral("revertex.ico"))),
              readAll(sourcePath(QStringLiteral("resources/images/revertex.ico"))));
    for (const char *name : {"emblem.png", "strip.png", "revertex.png", "emblem@2x.png", "strip@2x.png", "revertex-32@2x.png"}) {
        SCOPED_TRACE(name);
        const QImage fresh(out.filePath(QString::fromLatin1(name)));
        const QImage committed(sourcePath(QStringLiteral("resources/images/") + QString::fromLatin1(name)));
        ASSERT_FALSE(committed.isNull());
        EXPECT_EQ(fresh, committed);
        EXPECT_EQ(fresh.colorTable(), committed.colorTable());
    }
}
