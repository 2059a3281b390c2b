// artgen: draws the window's images into a directory (normally resources/images):
//   emblem.png    64 x 64, 256-colour palette: the still emblem for the banner
//   strip.png     2112 x 64, 16-colour palette: 33 cells of the emblem turning once
//   revertex.ico  the program icon: 32 x 32 and 16 x 16 in 16 colours, 32 x 32 monochrome
//   revertex.png  48 x 48 with transparency: the same icon for desktop entries
//   emblem@2x.png, strip@2x.png  the emblem and the strip drawn at twice the pixels,
//                 for screens that scale by more than 1
//   revertex-32@2x.png  the 32 x 32 icon picture at 64 x 64 in the same 16 colours
// The output depends only on this code, so running it again reproduces the files.
#include "CoinRenderer.h"
#include "IcoWriter.h"
#include "PaletteReducer.h"
#include "PngWriter.h"
#include "WindowIconArt.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>

#include <cmath>
#include <cstdio>

namespace {

constexpr int kStripCells = 33;
constexpr int kEmblemColours = 256;
constexpr int kEmblemBits = 8;
constexpr int kStripColours = 16;
constexpr int kStripBits = 4;
constexpr int kDesktopIconSize = 48;
constexpr int kIconSize = 32;
constexpr double kPi = 3.14159265358979323846;

bool savePng(const QImage &image, const QString &path)
{
    QImageWriter writer(path, "png");
    if (!writer.write(image)) {
        std::fprintf(stderr, "artgen: cannot write %s: %s\n", qPrintable(path), qPrintable(writer.errorString()));
        return false;
    }
    return true;
}

bool saveBytes(const QByteArray &bytes, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "artgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

// Cell k shows the coin turned by 2 pi k / 33: edge-on at 0, the front at cells 8 and 9,
// edge-on again between 16 and 17, the back around 25, and nearly edge-on at 32, so
// that cell 0 follows cell 32 smoothly.
QImage stripPicture(int scale)
{
    const CoinRenderer coin(scale);
    const int cell = coin.pixelSize();
    QImage strip(cell * kStripCells, cell, QImage::Format_RGB32);
    QPainter painter(&strip);
    for (int k = 0; k < kStripCells; ++k)
        painter.drawImage(k * cell, 0, coin.cell(2 * kPi * k / kStripCells));
    painter.end();
    return PaletteReducer::reduce(strip, CoinRenderer::keyColours(), kStripColours);
}

QByteArray iconFile()
{
    const QVector<QRgb> mono = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    QVector<int> monoPixels = WindowIconArt::monochromePixels(32);
    for (int &p : monoPixels)
        if (p == WindowIconArt::White)
            p = 1;
    return IcoWriter::write({
        {32, 4, WindowIconArt::standardPalette(), WindowIconArt::pixels(32)},
        {16, 4, WindowIconArt::standardPalette(), WindowIconArt::pixels(16)},
        {32, 1, mono, monoPixels},
    });
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: artgen <output directory>\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.exists() && !QDir().mkpath(out.path())) {
        std::fprintf(stderr, "artgen: cannot create %s\n", argv[1]);
        return 1;
    }

    bool ok = true;
    for (const int scale : {1, 2}) {
        const QString suffix = scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
        const QImage emblem =
            PaletteReducer::reduce(CoinRenderer(scale).emblem(), CoinRenderer::keyColours(), kEmblemColours);
        ok = ok && saveBytes(PngWriter::write(emblem, kEmblemBits), out.filePath("emblem" + suffix + ".png"))
            && saveBytes(PngWriter::write(stripPicture(scale), kStripBits), out.filePath("strip" + suffix + ".png"));
    }
    ok = ok && saveBytes(iconFile(), out.filePath("revertex.ico"))
        && savePng(WindowIconArt::image(kDesktopIconSize), out.filePath("revertex.png"))
        && savePng(WindowIconArt::image(2 * kIconSize), out.filePath("revertex-32@2x.png"));
    return ok ? 0 : 1;
}
