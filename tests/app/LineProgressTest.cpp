// The progress figures: bar width in pixels and the percentage text.
#include "app/LineProgress.h"

#include <gtest/gtest.h>

using LineProgress::barWidth;
using LineProgress::percentText;

TEST(LineProgress, PercentageHasTwoDecimalsAndTheTrailingBlank)
{
    EXPECT_EQ(percentText(0, 898), QStringLiteral("0.00% Complete "));
    EXPECT_EQ(percentText(898, 898), QStringLiteral("100.00% Complete "));
    EXPECT_EQ(percentText(449, 898), QStringLiteral("50.00% Complete "));
    EXPECT_EQ(percentText(1, 898), QStringLiteral("0.11% Complete "));
    EXPECT_EQ(percentText(5, 898), QStringLiteral("0.56% Complete "));
    EXPECT_EQ(percentText(897, 898), QStringLiteral("99.89% Complete "));
}

TEST(LineProgress, ExactTiesRoundAwayFromZero)
{
    // 3.125 and 0.125 are where rounding the binary quotient goes wrong.
    EXPECT_EQ(percentText(1, 32), QStringLiteral("3.13% Complete "));
    EXPECT_EQ(percentText(1, 800), QStringLiteral("0.13% Complete "));
    EXPECT_EQ(percentText(3, 800), QStringLiteral("0.38% Complete "));
    EXPECT_EQ(percentText(1, 16), QStringLiteral("6.25% Complete "));
}

TEST(LineProgress, EveryLineOfTheShippedImageIsRoundedToTheNearestHundredth)
{
    const qint32 upper = 898;
    for (qint32 k = 0; k <= upper; ++k) {
        const QString text = percentText(k, upper);
        ASSERT_TRUE(text.endsWith(QStringLiteral("% Complete "))) << k;
        const QString number = text.left(text.size() - 11);
        ASSERT_EQ(number.size() - number.indexOf(QLatin1Char('.')), 3) << k;
        const qint64 hundredths = qRound64(number.toDouble() * 100);
        // |hundredths - k * 10000 / upper| <= 1/2, ties upwards.
        const qint64 twiceError = 2 * (hundredths * upper - qint64(k) * 10000);
        EXPECT_TRUE(twiceError > -upper && twiceError <= upper) << k << ": " << text.toStdString();
    }
}

TEST(LineProgress, BarGrowsToTheFullInnerWidth)
{
    EXPECT_EQ(barWidth(285, 0, 898), 0);
    EXPECT_EQ(barWidth(285, 898, 898), 285);
    EXPECT_EQ(barWidth(285, 449, 898), 143);   // 142.5
    EXPECT_EQ(barWidth(285, 3, 898), 1);       // 0.95
    EXPECT_EQ(barWidth(285, 1, 898), 0);       // 0.32
}

TEST(LineProgress, AnImageOfOneLineShowsAFullBarInsteadOfDividingByZero)
{
    EXPECT_EQ(barWidth(285, 0, 0), 285);
    EXPECT_EQ(percentText(0, 0), QStringLiteral("100.00% Complete "));
}
