// The window moved between a screen at 100 % and one at 200 % (the test command gives
// the offscreen platform both): fonts and pictures follow the screen it is on.
#include "WindowHarness.h"

#include "app/DialogLabel.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTest>
#include <QWindow>

namespace {

QScreen *screenOfRatio(qreal ratio)
{
    for (QScreen *screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() == ratio)
            return screen;
    return nullptr;
}

} // namespace

class ScreenMove : public WindowHarness {
protected:
    void moveTo(QScreen *screen)
    {
        window->windowHandle()->setScreen(screen);
        QCoreApplication::processEvents();
    }

    QString labelFamily() const { return QFontInfo(get<QWidget>("Label2")->font()).family(); }
    qreal bannerRatio() const { return get<PictureBox>("Picture3")->drawing().devicePixelRatio(); }
    qreal emblemRatio() const { return get<PictureBox>("Picture4")->picture().devicePixelRatio(); }
};

TEST_F(ScreenMove, FontsAndPicturesFollowTheWindowToAScreenOfAnotherRatio)
{
    QScreen *plain = screenOfRatio(1.0);
    QScreen *scaled = screenOfRatio(2.0);
    ASSERT_TRUE(plain && scaled) << "the test command gives two screens, at ratios 1 and 2";
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    moveTo(plain);
    ASSERT_EQ(window->devicePixelRatioF(), 1.0);
    const QString unscaledFamily = labelFamily();

    moveTo(scaled);
    ASSERT_EQ(window->devicePixelRatioF(), 2.0);
    EXPECT_TRUE(QFontDatabase::isSmoothlyScalable(labelFamily())) << labelFamily().toStdString();
    EXPECT_EQ(emblemRatio(), 2.0);
    EXPECT_EQ(bannerRatio(), 2.0);
    EXPECT_TRUE(get<PictureBox>("Picture4")->picture().deviceIndependentSize() == QSizeF(64, 64));
    EXPECT_TRUE(get<DialogLabel>("Label4")->font().bold());

    moveTo(plain);
    EXPECT_EQ(labelFamily(), unscaledFamily);
    EXPECT_EQ(emblemRatio(), 1.0);
    EXPECT_EQ(bannerRatio(), 1.0);
    EXPECT_EQ(bannerCorner(), emblem());
}
