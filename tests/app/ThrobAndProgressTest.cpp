// The busy animation in the banner, the progress bar and percentage, and the window's
// services to the sequences (timers, reply handling).
#include "WindowHarness.h"

namespace {

const QColor kBar(99, 154, 206);
const QColor kBarBackground(207, 226, 240);

// How many columns of the bar's middle row carry the bar colour.
int barColumns(const PictureBox *bar, int row)
{
    int columns = 0;
    const QImage &drawing = bar->drawing();
    for (int x = 0; x < drawing.width(); ++x)
        columns += drawing.pixelColor(x, row) == kBar ? 1 : 0;
    return columns;
}

} // namespace

using Animation = WindowHarness;
using Progress = WindowHarness;
using SequenceServices = WindowHarness;

TEST_F(Animation, ShowsCellsZeroToThirtyTwoThenStartsOver)
{
    window->throbOn();
    EXPECT_TRUE(timer("throbAnimate")->isActive());
    for (int k = 0; k <= 32; ++k) {
        tick("throbAnimate_Timer");
        ASSERT_EQ(bannerCorner(), stripCell(k)) << "cell " << k;
        EXPECT_EQ(window->throbFrame(), 3 * (k + 1));
        EXPECT_EQ(window->throbX(), 64 * (k + 1));
    }
    tick("throbAnimate_Timer");
    EXPECT_EQ(bannerCorner(), stripCell(0));
    EXPECT_EQ(window->throbFrame(), 3);
    EXPECT_EQ(window->throbX(), 64);
}

TEST_F(Animation, DrawsOnlyTheBannerCorner)
{
    window->throbOn();
    tick("throbAnimate_Timer");
    const QImage banner = get<PictureBox>("Picture3")->drawing();
    for (int x = 64; x < banner.width(); x += 17)
        EXPECT_EQ(banner.pixelColor(x, 10), QColor(255, 255, 255)) << x;
}

TEST_F(Animation, StoppedAtCellKItResumesAtCellKPlusOne)
{
    goToTestingPage();
    window->throbOn();
    for (int k = 0; k <= 6; ++k)
        tick("throbAnimate_Timer");
    window->land(Landing::NeedsFlashing);   // stops the animation, shows the emblem
    EXPECT_FALSE(timer("throbAnimate")->isActive());
    EXPECT_EQ(bannerCorner(), emblem());

    window->throbOn();
    tick("throbAnimate_Timer");
    EXPECT_EQ(bannerCorner(), stripCell(7));
}

TEST_F(Animation, ResumesAtCellZeroAfterCellThirtyTwo)
{
    goToTestingPage();
    window->throbOn();
    for (int k = 0; k <= 32; ++k)
        tick("throbAnimate_Timer");
    window->land(Landing::CheckFailed);
    window->throbOn();
    tick("throbAnimate_Timer");
    EXPECT_EQ(bannerCorner(), stripCell(0));
}

TEST_F(Animation, SwitchingItOnWhileItRunsKeepsItsRhythm)
{
    window->throbOn();
    const int id = timer("throbAnimate")->timerId();
    window->throbOn();
    EXPECT_EQ(timer("throbAnimate")->timerId(), id);
}

TEST_F(Progress, BarWidthAndPercentageFollowTheLine)
{
    auto *bar = get<PictureBox>("Picture1");
    const int inner = bar->scaleWidth();
    const int middleRow = bar->scaleHeight() / 2;

    window->showLineProgress(0, 898);
    EXPECT_EQ(barColumns(bar, middleRow), 0);
    EXPECT_EQ(text("Label9"), QStringLiteral("0.00% Complete "));

    window->showLineProgress(449, 898);
    EXPECT_EQ(barColumns(bar, middleRow), (inner + 1) / 2);
    EXPECT_EQ(text("Label9"), QStringLiteral("50.00% Complete "));
    EXPECT_EQ(bar->drawing().pixelColor(inner - 1, middleRow), kBarBackground);

    window->showLineProgress(1, 898);   // drawn over, never cleared: the bar does not shrink
    EXPECT_EQ(barColumns(bar, middleRow), (inner + 1) / 2);
    EXPECT_EQ(text("Label9"), QStringLiteral("0.11% Complete "));

    window->showLineProgress(898, 898);
    EXPECT_EQ(text("Label9"), QStringLiteral("100.00% Complete "));
    for (int row = 0; row < bar->scaleHeight(); ++row)
        EXPECT_EQ(barColumns(bar, row), inner) << "row " << row;
}

TEST_F(Progress, TheSameBoxAgainIsDrawnOnceAnythingElseDrewOverIt)
{
    auto *bar = get<PictureBox>("Picture1");
    const int middleRow = bar->scaleHeight() / 2;
    QPixmap patch(4, 4);
    patch.fill(Qt::red);

    window->showLineProgress(449, 898);
    const int drawn = barColumns(bar, middleRow);
    bar->paintPicture(patch, 0, middleRow - 2);
    window->showLineProgress(449, 898);
    EXPECT_EQ(barColumns(bar, middleRow), drawn);

    bar->setBackground(kBarBackground);   // a new canvas
    window->showLineProgress(449, 898);
    EXPECT_EQ(barColumns(bar, middleRow), drawn);
}

TEST_F(SequenceServices, SequenceTimersStartOnceAndStop)
{
    const std::pair<SequenceTimer, const char *> timers[] = {
        {SequenceTimer::CamTest, "timerCamTest"},
        {SequenceTimer::StartDownload, "timerStartDownload"},
        {SequenceTimer::LineTransfer, "Timer1"},
        {SequenceTimer::Finish, "timerFinish"},
    };
    for (const auto &[which, name] : timers) {
        SCOPED_TRACE(name);
        window->setTimerEnabled(which, true);
        ASSERT_TRUE(timer(name)->isActive());
        const int id = timer(name)->timerId();
        window->setTimerEnabled(which, true);
        EXPECT_EQ(timer(name)->timerId(), id);   // not restarted
        window->setTimerEnabled(which, false);
        EXPECT_FALSE(timer(name)->isActive());
    }
}

TEST_F(SequenceServices, ReadBufferAndPvrWorkOnTheWindowsSessionAndPort)
{
    port->isOpen = true;
    port->pendingReads = {QByteArray("\x02" "lv")};
    window->ReadBuffer();
    EXPECT_EQ(window->session().ReplyBuffer, QByteArray("\x02" "lv"));

    window->pvr(QByteArray("\x02" "BOOT 1.0 CBOX 3.45\x04"));
    EXPECT_EQ(window->session().CameraVersion, QByteArray("3.45"));
}
