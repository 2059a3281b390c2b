// Each outcome of a sequence leaves the window as its row of the landing table says:
// pages, message, buttons, the sequence's own timer off, and the still emblem back.
#include "WindowHarness.h"

#include "app/LandingTable.h"

namespace {

const char *const kUnchanged = "(the earlier text)";

struct ExpectedLanding {
    Landing outcome;
    bool duringDownload;        // reached from the progress page, else from the testing page
    const char *timerOff;
    QStringList pages;          // shown afterwards
    const char *message;        // lblError afterwards
    std::string buttons;        // Back, Next, Cancel enabled afterwards
    const char *cancelCaption;
};

const ExpectedLanding kLandings[] = {
    {Landing::NoResponse, false, "timerCamTest", {"frame4a"},
     "No response from the camera. Make sure the cable is attached and that you have selected the correct COM port.  "
     "Press the Back button to reselect a different COM port and try again.",
     "+-+", "&Cancel"},
    {Landing::PortInUse, false, "timerCamTest", {"frame4a"},
     "The COM port seems to be in use by some other program.  Press the Back button to select another COM port or to "
     "try again after you close the program that is using the COM port.  Make sure Optivant Moving is running.",
     "+-+", "&Cancel"},
    {Landing::NoFlashNeeded, false, "timerCamTest", {"frame4a"},
     "The attached camera does not need to be flashed.  You can press the Back button to select a different COM port "
     "or you can press the Next button to proceed with flashing the camera.",
     "+++", "&Cancel"},
    {Landing::NotPtz2, false, "timerCamTest", {"frame4a"},
     "The attached camera doesn't seem to be a PictureTel PTZ 2 camera. Press the Back button to select a different "
     "COM port or press Cancel to exit the program. Pressing the Next button will flash the device.  Make sure that "
     "the attached device is a PictureTel PTZ 2 camera.",
     "+++", "&Cancel"},
    {Landing::NeedsFlashing, false, "timerCamTest", {"frame4"}, kUnchanged, "+++", "&Cancel"},
    {Landing::CheckFailed, false, "timerCamTest", {"frame3"}, kUnchanged, "--+", "&Cancel"},
    {Landing::PowerCycle, true, "timerStartDownload", {"frame4a"},
     "The power to the camera needs to be turned off then turned back on.  Click on the Cancel button to exit the "
     "program and then try again after a power cycle.",
     "--+", "&Cancel"},
    {Landing::Flashed, true, "timerFinish", {"frame6"}, kUnchanged, "--+", "&Finish"},
};

} // namespace

using Landings = WindowHarness;

TEST_F(Landings, EveryOutcomeHasExactlyOneRow)
{
    for (const ExpectedLanding &e : kLandings) {
        int rows = 0;
        for (const LandingRow &row : landingTable())
            rows += row.outcome == e.outcome ? 1 : 0;
        EXPECT_EQ(rows, 1) << int(e.outcome);
    }
    EXPECT_EQ(landingTable().size(), std::size(kLandings));
}

TEST_F(Landings, EachRowSetsPagesMessageButtonsTimerAndRestoresTheEmblem)
{
    for (const ExpectedLanding &e : kLandings) {
        SetUp();
        SCOPED_TRACE(int(e.outcome));
        if (e.duringDownload)
            goToProgressPage();
        else
            goToTestingPage();
        get<QLabel>("lblError")->setText(QString::fromLatin1(kUnchanged));
        window->setTimerEnabled(e.duringDownload ? (e.outcome == Landing::Flashed ? SequenceTimer::Finish
                                                                                  : SequenceTimer::StartDownload)
                                                 : SequenceTimer::CamTest,
                                true);
        window->throbOn();
        for (int i = 0; i < 5; ++i)
            tick("throbAnimate_Timer");
        ASSERT_NE(bannerCorner(), emblem());
        const qint32 page = window->pageNumber();

        window->land(e.outcome);

        EXPECT_EQ(shownPages(), e.pages);
        EXPECT_EQ(text("lblError"), QString::fromLatin1(e.message));
        EXPECT_EQ(buttons(), e.buttons);
        EXPECT_EQ(text("cmdCancel"), QString::fromLatin1(e.cancelCaption));
        EXPECT_FALSE(timer(e.timerOff)->isActive());
        EXPECT_FALSE(timer("throbAnimate")->isActive());
        EXPECT_EQ(bannerCorner(), emblem());
        EXPECT_EQ(window->pageNumber(), page);
    }
}

TEST_F(Landings, NoFlashNeededHidesTheWarningPageAndNeedsFlashingHidesTheMessagePage)
{
    goToTestingPage();
    get<QFrame>("frame4")->show();
    window->land(Landing::NoFlashNeeded);
    EXPECT_EQ(shownPages(), QStringList({"frame4a"}));

    SetUp();
    goToTestingPage();
    get<QFrame>("frame4a")->show();
    window->land(Landing::NeedsFlashing);
    EXPECT_EQ(shownPages(), QStringList({"frame4"}));
}

TEST_F(Landings, PowerCycleHidesTheDonePageToo)
{
    goToProgressPage();
    get<QFrame>("frame6")->show();
    window->land(Landing::PowerCycle);
    EXPECT_EQ(shownPages(), QStringList({"frame4a"}));
}

TEST_F(Landings, OnlyTheOwnTimerIsSwitchedOff)
{
    goToProgressPage();
    window->setTimerEnabled(SequenceTimer::LineTransfer, true);
    window->land(Landing::PowerCycle);
    EXPECT_FALSE(timer("timerStartDownload")->isActive());
    EXPECT_TRUE(timer("Timer1")->isActive());
}
