// Back and Next through the pages, including the returns after each kind of check outcome.
#include "WindowHarness.h"

using PageFlow = WindowHarness;

TEST_F(PageFlow, NextFromWelcomeShowsTheComPortPageWithBackEnabled)
{
    click("cmdNext");
    EXPECT_EQ(shownPages(), QStringList({"frame2"}));
    EXPECT_EQ(buttons(), "+++");
    EXPECT_EQ(window->pageNumber(), 1);
}

TEST_F(PageFlow, BackOnTheComPortPageReturnsToWelcomeAndKeepsThePortChoice)
{
    click("cmdNext");
    get<QComboBox>("Combo1")->setCurrentIndex(4);
    click("cmdPrev");
    EXPECT_EQ(shownPages(), QStringList({"frame1"}));
    EXPECT_EQ(buttons(), "-++");
    EXPECT_EQ(window->pageNumber(), 0);
    EXPECT_EQ(window->selectedPortEntry(), QStringLiteral(" 5"));
}

TEST_F(PageFlow, NextOnTheComPortPageStartsTheCheckOnTheTestingPage)
{
    goToTestingPage();
    EXPECT_EQ(shownPages(), QStringList({"frame3"}));
    EXPECT_EQ(buttons(), "--+");
    EXPECT_EQ(window->pageNumber(), 2);
    EXPECT_TRUE(timer("timerCamTest")->isActive());
    for (const char *other : {"timerStartDownload", "Timer1", "timerFinish"})
        EXPECT_FALSE(timer(other)->isActive()) << other;
}

TEST_F(PageFlow, DisabledButtonsDoNothingOnTheTestingPage)
{
    goToTestingPage();
    click("cmdNext");
    click("cmdPrev");
    EXPECT_EQ(shownPages(), QStringList({"frame3"}));
    EXPECT_EQ(window->pageNumber(), 2);
}

TEST_F(PageFlow, AfterAMessageWithNextTheFirstNextShowsTheWarningAndOnlyTheSecondStartsTheDownload)
{
    for (Landing outcome : {Landing::NoFlashNeeded, Landing::NotPtz2}) {
        SetUp();
        SCOPED_TRACE(int(outcome));
        goToTestingPage();
        window->land(outcome);
        ASSERT_EQ(shownPages(), QStringList({"frame4a"}));

        click("cmdNext");
        EXPECT_EQ(shownPages(), QStringList({"frame4"}));
        EXPECT_EQ(window->pageNumber(), 2);
        EXPECT_EQ(buttons(), "+++");
        EXPECT_FALSE(timer("timerStartDownload")->isActive());

        click("cmdNext");
        EXPECT_EQ(shownPages(), QStringList({"frame5"}));
        EXPECT_EQ(window->pageNumber(), 3);
        EXPECT_EQ(buttons(), "---");
        EXPECT_TRUE(timer("timerStartDownload")->isActive());
    }
}

TEST_F(PageFlow, AfterNoResponseOrPortInUseOnlyBackLeadsOnAndStartsANewCheck)
{
    for (Landing outcome : {Landing::NoResponse, Landing::PortInUse}) {
        SetUp();
        SCOPED_TRACE(int(outcome));
        goToTestingPage();
        window->land(outcome);
        EXPECT_EQ(buttons(), "+-+");
        click("cmdNext");
        EXPECT_EQ(shownPages(), QStringList({"frame4a"}));

        click("cmdPrev");
        EXPECT_EQ(shownPages(), QStringList({"frame2"}));
        EXPECT_EQ(buttons(), "+++");
        EXPECT_EQ(window->pageNumber(), 1);

        get<QComboBox>("Combo1")->setCurrentIndex(2);
        click("cmdNext");
        EXPECT_EQ(shownPages(), QStringList({"frame3"}));
        EXPECT_TRUE(timer("timerCamTest")->isActive());
        EXPECT_EQ(window->selectedPortEntry(), QStringLiteral(" 3"));
    }
}

TEST_F(PageFlow, BackFromTheWarningOrAnyMessagePageReturnsToTheComPortPage)
{
    for (Landing outcome : {Landing::NeedsFlashing, Landing::NoFlashNeeded, Landing::NotPtz2, Landing::NoResponse}) {
        SetUp();
        SCOPED_TRACE(int(outcome));
        goToTestingPage();
        window->land(outcome);
        click("cmdPrev");
        EXPECT_EQ(shownPages(), QStringList({"frame2"}));
        EXPECT_EQ(buttons(), "+++");
        EXPECT_EQ(window->pageNumber(), 1);
    }
}

TEST_F(PageFlow, BackFromTheWarningReachedThroughAMessageAlsoReturnsToTheComPortPage)
{
    goToTestingPage();
    window->land(Landing::NotPtz2);
    click("cmdNext");
    ASSERT_EQ(shownPages(), QStringList({"frame4"}));
    click("cmdPrev");
    EXPECT_EQ(shownPages(), QStringList({"frame2"}));
    EXPECT_EQ(window->pageNumber(), 1);
}

TEST_F(PageFlow, WarningPageNextStartsTheDownloadWithEveryButtonDisabled)
{
    goToProgressPage();
    EXPECT_EQ(shownPages(), QStringList({"frame5"}));
    EXPECT_EQ(buttons(), "---");
    EXPECT_EQ(window->pageNumber(), 3);
    EXPECT_TRUE(timer("timerStartDownload")->isActive());
    EXPECT_FALSE(timer("timerCamTest")->isActive());
    EXPECT_EQ(text("Label9"), QStringLiteral("Percent Complete "));
}
