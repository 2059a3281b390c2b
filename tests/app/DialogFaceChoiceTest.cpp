// Which face the window's texts use: the bitmap dialog face only where a logical pixel
// is one device pixel and only off Windows; otherwise the scalable faces in order.
#include "app/DialogFaceChoice.h"
#include "app/ScaledPicture.h"

#include <gtest/gtest.h>

using DialogFaceChoice::Platform;

namespace {

const QString kSystem = QStringLiteral("System Sans");
const QStringList kLinuxWithWine = {"DejaVu Sans", "MS Sans Serif", "Tahoma"};
const QStringList kWindows = {"Arial", "MS Sans Serif", "Microsoft Sans Serif", "Segoe UI", "Tahoma"};

QString choose(const QStringList &families, double ratio, Platform platform)
{
    return DialogFaceChoice::family(families, ratio, platform, kSystem);
}

} // namespace

TEST(DialogFaceChoice, BitmapFaceOnlyAtRatioOneElseTahoma)
{
    EXPECT_EQ(choose(kLinuxWithWine, 1.0, Platform::Other), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(choose(kLinuxWithWine, 1.004, Platform::Other), QStringLiteral("MS Sans Serif"));
    for (double ratio : {1.25, 1.5, 1.75, 2.0, 3.0, 0.75})
        EXPECT_EQ(choose(kLinuxWithWine, ratio, Platform::Other), QStringLiteral("Tahoma")) << ratio;
}

TEST(DialogFaceChoice, FallsBackThroughTheScalableFacesToTheSystemFont)
{
    EXPECT_EQ(choose({"Tahoma"}, 1.0, Platform::Other), QStringLiteral("Tahoma"));
    EXPECT_EQ(choose({"MS Sans Serif", "Microsoft Sans Serif"}, 2.0, Platform::Other), QStringLiteral("Microsoft Sans Serif"));
    EXPECT_EQ(choose({"MS Sans Serif", "DejaVu Sans"}, 1.5, Platform::Other), kSystem);
    EXPECT_EQ(choose({}, 1.0, Platform::Other), kSystem);
    EXPECT_EQ(choose({"tahoma"}, 2.0, Platform::Other), QStringLiteral("Tahoma"));   // fontconfig names vary in case
}

TEST(DialogFaceChoice, WindowsTakesMicrosoftSansSerifThenTahomaThenTheSystemFontAtEveryRatio)
{
    for (double ratio : {1.0, 1.25, 1.5, 2.0}) {
        SCOPED_TRACE(ratio);
        EXPECT_EQ(choose(kWindows, ratio, Platform::Windows), QStringLiteral("Microsoft Sans Serif"));
        EXPECT_EQ(choose({"MS Sans Serif", "Tahoma"}, ratio, Platform::Windows), QStringLiteral("Tahoma"));
        // Qt 6 cannot draw the bitmap face on Windows, even where the system has it.
        EXPECT_EQ(choose({"MS Sans Serif", "Arial"}, ratio, Platform::Windows), kSystem);
    }
}

TEST(ScaledPicture, RatiosAboveOneTakeTheDoublePicture)
{
    EXPECT_EQ(ScaledPicture::scaleFor(1.0), 1);
    EXPECT_EQ(ScaledPicture::scaleFor(0.75), 1);
    for (double ratio : {1.25, 1.5, 1.75, 2.0, 3.0})
        EXPECT_EQ(ScaledPicture::scaleFor(ratio), 2) << ratio;
    EXPECT_EQ(ScaledPicture::nameFor(QStringLiteral(":/revertex/strip.png"), 2), QStringLiteral(":/revertex/strip@2x.png"));
    EXPECT_EQ(ScaledPicture::nameFor(QStringLiteral(":/revertex/strip.png"), 1), QStringLiteral(":/revertex/strip.png"));
    EXPECT_EQ(ScaledPicture::nameFor(QStringLiteral("dir.d/picture"), 2), QStringLiteral("dir.d/picture@2x"));
}
