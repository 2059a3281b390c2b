// Closing the window (and when it refuses), and run-time failures of the download's
// handlers, which end the program with a report instead of crossing the event loop.
#include "WindowHarness.h"

#include "app/FatalErrorGuard.h"

#include <stdexcept>

using Closing = WindowHarness;
using FatalFailure = WindowHarness;

TEST_F(Closing, CancelClosesTheWindowAndTheOpenPort)
{
    window->show();
    port->isOpen = true;
    goToTestingPage();   // the check's timer runs; closing stops it
    click("cmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(port->isOpen);
    EXPECT_EQ(port->closes, 1);
    EXPECT_FALSE(timer("timerCamTest")->isActive());
    EXPECT_TRUE(reports.isEmpty());
}

TEST_F(Closing, ClosingWithThePortClosedLeavesThePortAlone)
{
    window->show();
    EXPECT_TRUE(window->close());
    EXPECT_EQ(port->closes, 0);
}

TEST_F(Closing, ACloseRequestDuringTheDownloadIsRefused)
{
    window->show();
    port->isOpen = true;
    goToProgressPage();
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(port->isOpen);
    EXPECT_EQ(port->closes, 0);
    EXPECT_TRUE(timer("timerStartDownload")->isActive());
}

TEST_F(Closing, FinishOnTheDonePageClosesTheWindowAndThePort)
{
    window->show();
    port->isOpen = true;
    goToProgressPage();
    window->land(Landing::Flashed);
    EXPECT_EQ(text("cmdCancel"), QStringLiteral("&Finish"));
    click("cmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(port->closes, 1);
}

TEST_F(Closing, AfterThePowerCycleMessageCancelCloses)
{
    window->show();
    port->isOpen = true;
    goToProgressPage();
    window->land(Landing::PowerCycle);
    click("cmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(port->isOpen);
}

TEST_F(FatalFailure, AFailingWriteOfTheDownloadStartIsReportedAndStopsEverything)
{
    port->isOpen = true;
    port->failWrite = true;
    goToProgressPage();
    tick("timerStartDownload_Timer");
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].first, CommError::WriteFailed);
    EXPECT_EQ(reports[0].second, QStringLiteral("Error writing comm device"));
    for (const char *name : {"timerCamTest", "timerStartDownload", "Timer1", "timerFinish", "throbAnimate"})
        EXPECT_FALSE(timer(name)->isActive()) << name;
}

TEST_F(FatalFailure, AFailingWriteOfTheClosingScriptIsReported)
{
    port->isOpen = true;
    port->failWrite = true;
    window->setTimerEnabled(SequenceTimer::Finish, true);
    tick("timerFinish_Timer");
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].first, CommError::WriteFailed);
    EXPECT_FALSE(timer("timerFinish")->isActive());
}

TEST_F(FatalFailure, AFailingReadWhileTheTransferWaitsIsReported)
{
    port->isOpen = true;
    port->failRead = true;
    goToProgressPage();
    tick("timerStartDownload_Timer");   // sends the start command; reads come only on waiting ticks
    ASSERT_TRUE(reports.isEmpty());
    tick("Timer1_Timer");
    ASSERT_EQ(reports.size(), 1);
    EXPECT_EQ(reports[0].first, CommError::ReadFailed);
}

TEST(FatalErrorGuard, ReportsEveryKindOfFailureWithNumberAndDescription)
{
    QList<std::pair<int, QString>> reports;
    const RunTimeErrorReport record = [&](int n, const QString &d) { reports.append({n, d}); };

    EXPECT_TRUE(runReportingFailure([] {}, record));
    EXPECT_TRUE(reports.isEmpty());

    EXPECT_FALSE(runReportingFailure([] { throw RuntimeError(8020, QStringLiteral("Error reading comm device")); }, record));
    EXPECT_FALSE(runReportingFailure([] { throw std::runtime_error("record 3: bad checksum"); }, record));
    EXPECT_FALSE(runReportingFailure([] { throw std::bad_alloc(); }, record));
    EXPECT_FALSE(runReportingFailure([] { throw 42; }, record));

    const QList<std::pair<int, QString>> expected = {
        {8020, QStringLiteral("Error reading comm device")},
        {RunTimeErrorNumber::Internal, QStringLiteral("record 3: bad checksum")},
        {RunTimeErrorNumber::OutOfMemory, QStringLiteral("Out of memory")},
        {RunTimeErrorNumber::Internal, QStringLiteral("Internal error")},
    };
    EXPECT_EQ(reports, expected);
}

TEST(FatalErrorGuard, ReportTextNamesTheRunTimeError)
{
    EXPECT_EQ(runTimeErrorText(8021, QStringLiteral("Error writing comm device")),
              QStringLiteral("Run-time error '8021':\n\nError writing comm device"));
}

TEST_F(Closing, AStalledTransferEndsOnThePowerCyclePageAndThenCloses)
{
    window->show();
    port->isOpen = true;
    goToProgressPage();
    port->pendingReads.append(QByteArray("\x02" "lvr" "\x04"));
    tick("timerStartDownload_Timer");   // sends the start command
    tick("timerStartDownload_Timer");   // takes its acknowledgement, hands over
    ASSERT_TRUE(timer("Timer1")->isActive());
    tick("Timer1_Timer");               // line 0 goes out; the camera never answers
    clock->advance(LineTransfer::kStallLimitSeconds + 1);
    tick("Timer1_Timer");
    EXPECT_FALSE(timer("Timer1")->isActive());
    EXPECT_FALSE(timer("throbAnimate")->isActive());
    EXPECT_EQ(shownPages(), QStringList{"frame4a"});
    EXPECT_TRUE(text("lblError").startsWith("The power to the camera needs to be turned off"));
    EXPECT_EQ(buttons(), "--+");
    EXPECT_TRUE(window->close());
    EXPECT_FALSE(port->isOpen);
}
