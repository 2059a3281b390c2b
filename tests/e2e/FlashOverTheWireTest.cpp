// A whole flash through the real window, the real serial port layer on a
// pseudo-terminal and the simulated camera, which checks the image it receives.
#include "tests/e2e/WizardOnSim.h"

#include <QProcess>

namespace {

const char *const kWholeRoad =
    "commands: QGt ckkV cki0n ckb0 ckl0 ckw*899 ckb0 ckz0m cDd0k3 cDr0k ckk cki0n ckd0 ckz0m\n";

class FlashOverTheWire : public WizardOnSim {
protected:
    void flashToTheEnd(const QStringList &simArguments, int ms = 180000)
    {
        start(simArguments);
        runCheck();
        runDownload(ms);
    }

    void expectDonePage()
    {
        EXPECT_TRUE(shown("frame6"));
        EXPECT_FALSE(shown("frame5"));
        EXPECT_EQ(get<QPushButton>("cmdCancel")->text(), "&Finish");
        EXPECT_EQ(buttons(), "--+");
        EXPECT_FALSE(timerRunning("throbAnimate"));
        EXPECT_EQ(window->session().LineIndex, 899);
        EXPECT_TRUE(reports.isEmpty());
    }
};

TEST_F(FlashOverTheWire, WholeImageArrivesByteForByte)
{
    flashToTheEnd({"--exit-after-finish"});
    expectDonePage();
    EXPECT_EQ(get<QLabel>("Label9")->text(), "100.00% Complete ");
    ASSERT_TRUE(sim->waitForExit(15000));
    const QString summary = sim->output();
    EXPECT_EQ(sim->exitCode(), 0) << summary.toStdString();
    EXPECT_TRUE(summary.contains("lines received: 899\n")) << summary.toStdString();
    EXPECT_TRUE(summary.contains("image: match\n")) << summary.toStdString();
    EXPECT_TRUE(summary.contains(kWholeRoad)) << summary.toStdString();
}

TEST_F(FlashOverTheWire, SplitNoisyAndDelayedRepliesStillDeliverTheImage)
{
    flashToTheEnd({"--split", "--noise", "--alternate-acks", "--exit-after-finish"});
    expectDonePage();
    ASSERT_TRUE(sim->waitForExit(15000));
    const QString summary = sim->output();
    EXPECT_EQ(sim->exitCode(), 0) << summary.toStdString();
    EXPECT_TRUE(summary.contains("image: match\n")) << summary.toStdString();
}

TEST_F(FlashOverTheWire, DelayedAcknowledgementsRunAfterRun)
{
    for (int run = 0; run < 3; ++run) {
        SCOPED_TRACE(run);
        flashToTheEnd({"--ack-delay-ms", "3", "--alternate-acks", "--exit-after-finish"});
        expectDonePage();
        ASSERT_TRUE(sim->waitForExit(15000));
        const QString summary = sim->output();
        EXPECT_EQ(sim->exitCode(), 0) << summary.toStdString();
        EXPECT_TRUE(summary.contains("image: match\n")) << summary.toStdString();
        window.reset();
        sim.reset();
    }
}

TEST_F(FlashOverTheWire, AfterNotAPtz2TheUserMayStillFlash)
{
    start({"--no-report", "--exit-after-finish"});
    runCheck();
    ASSERT_TRUE(shown("frame4a"));
    click("cmdNext");   // the warning page
    runDownload(180000);
    expectDonePage();
    ASSERT_TRUE(sim->waitForExit(15000));
    EXPECT_TRUE(sim->output().contains("image: match\n"));
}

TEST_F(FlashOverTheWire, ClosingScriptRunsOnWhenTheCameraFallsSilent)
{
    flashToTheEnd({"--stop-after-lines", "899"});
    expectDonePage();
    const QString summary = simSummary();
    EXPECT_TRUE(summary.contains("image: match\n")) << summary.toStdString();
    EXPECT_TRUE(summary.contains(kWholeRoad)) << summary.toStdString();
}

TEST_F(FlashOverTheWire, UnansweredStartAsksForAPowerCycle)
{
    start({"--ignore", "ckl0"});
    runCheck();
    QElapsedTimer took;
    took.start();
    runDownload(60000);
    EXPECT_GE(took.elapsed(), 31000);
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_FALSE(shown("frame5"));
    EXPECT_TRUE(message().startsWith("The power to the camera needs to be turned off then turned back on."));
    EXPECT_EQ(buttons(), "--+");
    EXPECT_EQ(window->session().LineIndex, -1);
    EXPECT_TRUE(simSummary().contains("commands: QGt ckkV cki0n ckb0 ckl0\n"));
}

TEST_F(FlashOverTheWire, DeviceVanishingMidTransferEndsTheProgramWithAReport)
{
    flashToTheEnd({"--vanish-after-lines", "300"}, 60000);
    ASSERT_EQ(reports.size(), 1);
    EXPECT_GE(reports.first().first, 8000);
    EXPECT_FALSE(anySequenceRunning());
    EXPECT_TRUE(shown("frame5"));
    // Nothing keeps spinning after the report: the event loop goes quiet.
    QTest::qWait(300);
    EXPECT_EQ(reports.size(), 1);
}

TEST_F(FlashOverTheWire, DeviceVanishingDuringTheClosingScriptEndsTheProgramWithAReport)
{
    start({"--stop-after-lines", "899"});
    runCheck();
    click("cmdNext");
    ASSERT_TRUE(waitFor([this] { return timerRunning("timerFinish"); }, 120000));
    sim->stop();
    ASSERT_TRUE(waitFor([this] { return !reports.isEmpty(); }, 20000));
    EXPECT_EQ(reports.size(), 1);
    EXPECT_FALSE(anySequenceRunning());
    EXPECT_FALSE(shown("frame6"));
}

} // namespace
