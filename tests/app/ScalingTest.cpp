// The window on a scaled screen: run once per device pixel ratio (the test command sets
// QT_SCALE_FACTOR, or gives the offscreen screen a ratio of its own). Texts are drawn
// in a face that scales and still fit their controls; the pictures are drawn for the
// screen; the animation and the progress bar keep their logical geometry.
#include "LookSupport.h"
#include "WindowHarness.h"
#include "tests/support/UnderWine.h"

#include "app/DialogFont.h"
#include "app/DialogLabel.h"
#include "app/LandingTable.h"
#include "app/LineProgress.h"
#include "app/ScaledPicture.h"

#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>

#include <cmath>

namespace {

const QString kWineFonts = QStringLiteral("/usr/share/wine/fonts/");
constexpr int kDialogPixelSize = 11;
// Ink that stands out at least this much from its ground counts as drawn text.
constexpr double kInkContrast = 3.0;
// A first line of text ("Welcome to the Optivant ...", from the top of its capitals
// to the bottom of its descenders) is drawn at least this share of the font's
// size high; bitmap glyphs left at their own size on a scaled screen are far smaller.
constexpr double kMinimumInkShareOfSize = 0.75;
// Bold text covers at least this much more than the regular face does.
constexpr double kBoldInkShare = 1.15;

bool hasWineFont(const char *file)
{
    return QFile::exists(kWineFonts + QString::fromLatin1(file));
}

QString resolvedFamily(const QWidget *widget)
{
    return QFontInfo(widget->font()).family();
}

QString withoutAccessKey(QString caption)
{
    return caption.remove(QLatin1Char('&'));
}

} // namespace

class ScaledWindow : public WindowHarness {
protected:
    qreal ratio() const { return window->devicePixelRatioF(); }
    bool unscaled() const { return std::abs(ratio() - 1.0) < 0.01; }

    // Every page label and message, shown in turn, with the window grabbed each time.
    template <class Check> void forEveryText(Check check)
    {
        for (DialogLabel *label : window->findChildren<DialogLabel *>())
            check(label, label->text());
        auto *messageLabel = get<DialogLabel>("lblError");
        for (const LandingRow &row : landingTable())
            if (row.message)
                check(messageLabel, QString::fromLatin1(row.message));
        auto *percent = get<DialogLabel>("Label9");
        check(percent, LineProgress::percentText(1000, 1000));
    }
};

TEST_F(ScaledWindow, TextsUseTheBitmapFaceOnlyUnscaledAndAScalableFaceElsewhere)
{
    RecordProperty("ratio", QString::number(ratio()).toStdString());
#ifdef Q_OS_WIN
    // Windows draws no bitmap face: a scalable one at every ratio.
    const bool bitmapFace = false;
#else
    const bool bitmapFace = unscaled();
#endif
    if (bitmapFace && !hasWineFont("ms_sans_serif.ttf"))
        GTEST_SKIP() << "no " << kWineFonts.toStdString() << "ms_sans_serif.ttf (Debian: fonts-wine): the bitmap face cannot be checked";
    const QList<QWidget *> texts = window->findChildren<QWidget *>();
    ASSERT_FALSE(texts.isEmpty());
    for (QWidget *w : texts) {
        SCOPED_TRACE(w->objectName().toStdString());
        const QString family = resolvedFamily(w);
        EXPECT_EQ(w->font().pixelSize(), kDialogPixelSize);
        if (bitmapFace) {
            EXPECT_EQ(family, QStringLiteral("MS Sans Serif"));
        } else {
            EXPECT_TRUE(QFontDatabase::isSmoothlyScalable(family)) << family.toStdString() << " at ratio " << ratio();
            if (hasWineFont("tahoma.ttf")) {
                EXPECT_EQ(family, QStringLiteral("Tahoma"));
            }
        }
    }
}

TEST_F(ScaledWindow, GlyphsAreDrawnAtTheScreensSize)
{
    const QImage grabbed = window->grab().toImage();
    ASSERT_NEAR(grabbed.devicePixelRatio(), ratio(), 1e-9);
    auto *heading = get<QLabel>("Label1");
    const int inkHeight = LookSupport::firstInkRunHeight(grabbed, LookSupport::regionOf(heading, window.get(), grabbed), kInkContrast);
    EXPECT_GE(inkHeight, kMinimumInkShareOfSize * kDialogPixelSize * ratio()) << "ratio " << ratio();
    // ... and not taller than a line: it is one line, not a smear.
    EXPECT_LE(inkHeight, DialogLabel::kDialogLinePitch * ratio() + 2);

    // The lines of a page text keep the dialog face's pitch, whatever face draws them.
    const QList<int> lines =
        LookSupport::inkRunStarts(grabbed, LookSupport::regionOf(get<QWidget>("Label2"), window.get(), grabbed), kInkContrast);
    ASSERT_EQ(lines.size(), 3);
    for (int i = 1; i < lines.size(); ++i)
        EXPECT_NEAR(lines[i] - lines[i - 1], DialogLabel::kDialogLinePitch * ratio(), 1.5) << "line " << i;
}

TEST_F(ScaledWindow, BoldLabelIsDrawnBoldWithoutOverstrikeInAScalableFace)
{
    click("cmdNext");
    auto *comPort = get<DialogLabel>("Label4");
    ASSERT_TRUE(comPort->font().bold());
    const QString family = QFontInfo(comPort->font()).family();
    // Only a bitmap face without a bold strike is drawn twice.
    EXPECT_EQ(comPort->needsOverstrike(), !QFontDatabase::isSmoothlyScalable(family)) << family.toStdString();
    if (!unscaled()) {
        EXPECT_FALSE(comPort->needsOverstrike()) << family.toStdString();
    }

    // Bold shows: the label holds clearly more ink than the same text drawn regular.
    const QImage grabbed = window->grab().toImage();
    const QRect region = LookSupport::regionOf(comPort, window.get(), grabbed);
    QImage regular(region.size(), QImage::Format_RGB32);
    regular.setDevicePixelRatio(grabbed.devicePixelRatio());
    regular.fill(window->palette().color(QPalette::Window));
    DialogLabel plain;
    QFont font = comPort->font();
    font.setBold(false);
    plain.setFont(font);
    plain.setPalette(window->palette());
    plain.setText(comPort->text());
    plain.resize(comPort->size());
    plain.render(&regular, QPoint(), QRegion(), QWidget::DrawChildren);
    if (runningUnderWine())
        GTEST_SKIP() << "Wine's Tahoma Bold (tahomabd.ttf) has the regular face's strokes, only set wider";
    const int boldInk = LookSupport::inkPixels(grabbed, region, kInkContrast);
    const int regularInk = LookSupport::inkPixels(regular, regular.rect(), kInkContrast);
    ASSERT_GT(regularInk, 0);
    EXPECT_GE(boldInk, kBoldInkShare * regularInk) << family.toStdString() << ": " << boldInk << " against " << regularInk;
}

TEST_F(ScaledWindow, EveryTextFitsItsLabel)
{
    int longest = 0;
    forEveryText([&](DialogLabel *label, const QString &text) {
        SCOPED_TRACE(label->objectName().toStdString() + ": " + text.toStdString());
        const QSizeF drawn = label->textSize(text);
        EXPECT_LE(drawn.width(), label->width());
        EXPECT_LE(drawn.height(), label->height());
        longest = std::max(longest, qRound(drawn.height() / label->linePitch()));
    });
    // The warning and the longest messages wrap into several lines.
    EXPECT_GE(longest, 4);
}

TEST_F(ScaledWindow, EveryButtonCaptionAndPortEntryFitsWithoutEliding)
{
    for (const char *name : {"cmdPrev", "cmdNext", "cmdCancel"}) {
        QPushButton *b = button(name);
        QStyleOptionButton option;
        option.initFrom(b);
        const int margins = b->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, b)
            + 2 * b->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, b);
        for (const QString &caption : {b->text(), QStringLiteral("&Finish")})
            EXPECT_LE(QFontMetricsF(b->font()).horizontalAdvance(withoutAccessKey(caption)) + margins, b->width())
                << name << " " << caption.toStdString();
    }
    auto *combo = get<QComboBox>("Combo1");
    QStyleOptionComboBox option;
    option.initFrom(combo);
    const QRect field = combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, combo);
    for (int i = 0; i < combo->count(); ++i)
        EXPECT_LE(QFontMetricsF(combo->font()).horizontalAdvance(combo->itemText(i)), field.width()) << i;
}

TEST_F(ScaledWindow, PicturesAreDrawnForTheScreenAtTheirLogicalSize)
{
    const int scale = ScaledPicture::scaleFor(ratio());
    EXPECT_EQ(scale, unscaled() ? 1 : 2);
    auto *emblemHolder = get<PictureBox>("Picture4");
    auto *stripHolder = get<PictureBox>("Picture2");
    EXPECT_EQ(emblemHolder->picture().devicePixelRatio(), scale);
    EXPECT_EQ(emblemHolder->picture().deviceIndependentSize().toSize(), QSize(64, 64));
    EXPECT_EQ(stripHolder->picture().deviceIndependentSize().toSize(), QSize(2112, 64));

    // The banner keeps device pixels: with pictures of the screen's scale, the emblem
    // and every cell of the strip arrive in it pixel for pixel.
    auto *banner = get<PictureBox>("Picture3");
    const QImage drawing = banner->drawing();
    EXPECT_NEAR(drawing.devicePixelRatio(), ratio(), 1e-9);
    EXPECT_EQ(drawing.size(), QSize(std::ceil(312 * ratio()), std::ceil(64 * ratio())));
    if (scale != ratio())
        return;   // fractional ratios draw the larger pictures smaller
    const int cell = 64 * scale;
    const QImage emblem =
        QImage(ScaledPicture::nameFor(QStringLiteral(":/revertex/emblem.png"), scale)).convertToFormat(QImage::Format_RGB32);
    const QImage strip =
        QImage(ScaledPicture::nameFor(QStringLiteral(":/revertex/strip.png"), scale)).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(emblem.size(), QSize(cell, cell));
    ASSERT_EQ(strip.size(), QSize(33 * cell, cell));
    auto corner = [&] { return banner->drawing().copy(0, 0, cell, cell).convertToFormat(QImage::Format_RGB32); };
    EXPECT_EQ(corner(), emblem);
    for (int k = 0; k < 3; ++k) {
        tick("throbAnimate_Timer");
        EXPECT_EQ(corner(), strip.copy(k * cell, 0, cell, cell)) << "cell " << k;
    }
    EXPECT_EQ(window->throbX(), 3 * 64);   // the animation still steps in logical cells
    window->land(Landing::NoResponse);
    EXPECT_EQ(corner(), emblem);
}

TEST_F(ScaledWindow, ProgressBarGrowsByTheSameRuleInLogicalPixels)
{
    goToProgressPage();
    auto *bar = get<PictureBox>("Picture1");
    const int logicalWidth = LineProgress::barWidth(bar->scaleWidth(), 499, 1000);
    ASSERT_GT(logicalWidth, 10);
    window->showLineProgress(499, 1000);
    const QImage drawing = bar->drawing();
    EXPECT_NEAR(drawing.devicePixelRatio(), ratio(), 1e-9);
    const int middle = drawing.height() / 2;
    const QColor barColour(99, 154, 206), ground(207, 226, 240);
    EXPECT_EQ(drawing.pixelColor(0, middle), barColour);
    EXPECT_EQ(drawing.pixelColor(int(std::floor(logicalWidth * ratio())) - 1, middle), barColour);
    EXPECT_EQ(drawing.pixelColor(int(std::ceil(logicalWidth * ratio())) + 1, middle), ground);
    EXPECT_EQ(drawing.pixelColor(drawing.width() - 1, middle), ground);
}

TEST_F(ScaledWindow, ProgressBarEdgeIsTwoLogicalPixelsOfEdgeColours)
{
    // The page before leaves its text where the bar goes: an edge drawn with lines one
    // device pixel wide would let it show through on a scaled screen.
    goToTestingPage();
    window->land(Landing::NeedsFlashing);
    (void)window->grab();
    click("cmdNext");
    const QImage grabbed = window->grab().toImage();
    const QRect bar = LookSupport::regionOf(get<QWidget>("Picture1"), window.get(), grabbed);
    const QPalette palette = window->palette();
    const QList<QColor> topLeft = {palette.color(QPalette::Dark), palette.color(QPalette::Shadow)};
    const QList<QColor> bottomRight = {palette.color(QPalette::Light), palette.color(QPalette::Midlight)};
    const int edge = int(std::floor(2 * ratio()));
    for (int d = 0; d < edge; ++d) {
        SCOPED_TRACE(d);
        const QPoint middle = bar.center();
        EXPECT_TRUE(topLeft.contains(grabbed.pixelColor(middle.x(), bar.top() + d))) << grabbed.pixelColor(middle.x(), bar.top() + d).name().toStdString();
        EXPECT_TRUE(topLeft.contains(grabbed.pixelColor(bar.left() + d, middle.y())));
        EXPECT_TRUE(bottomRight.contains(grabbed.pixelColor(middle.x(), bar.bottom() - d)));
        EXPECT_TRUE(bottomRight.contains(grabbed.pixelColor(bar.right() - d, middle.y())));
    }
}

TEST_F(ScaledWindow, WindowIconHasAPictureForTwiceTheIconSize)
{
    const QList<QSize> sizes = window->windowIcon().availableSizes();
    EXPECT_TRUE(sizes.contains(QSize(64, 64)));
    EXPECT_TRUE(sizes.contains(QSize(32, 32)));
}
