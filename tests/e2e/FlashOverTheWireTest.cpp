// A whole flash through the real window, the real serial port layer on a
// pseudo-terminal and the simulated camera, which checks the image it receives.
#include "link/SerialPortControl.h"
#include "tests/e2e/FaultySender.h"
#include "tests/e2e/WizardOnSim.h"
#include "tests/firmware/PeTestPrograms.h"

#include <QProcess>
#include <QTemporaryDir>

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

// The camera's firmware as people have it: inside a 32-bit Windows flash program (here
// one made with MinGW around our test image), named on the command line.
TEST_F(FlashOverTheWire, AWindowsProgramNamedOnTheCommandLineArrivesByteForByte)
{
    using PeTestPrograms::Bits;
    if (!PeTestPrograms::available(Bits::Pe32))
        GTEST_SKIP() << "MinGW-w64 tools missing: " << PeTestPrograms::missingTools(Bits::Pe32).toStdString();
    QTemporaryDir dir;
    const QString program = PeTestPrograms::build(dir.path(), QStringLiteral("flash"), Bits::Pe32,
                                                  {{QStringLiteral("101 CUSTOM"), FirmwareTestFiles::committedTestImage()}});
    ASSERT_FALSE(program.isEmpty());
    startFromCommandLine({QStringLiteral("--firmware"), program}, {QStringLiteral("--exit-after-finish")});
    ASSERT_TRUE(window);
    EXPECT_TRUE(window->holdsTestImage());
    runCheck();
    runDownload(180000);
    expectDonePage();
    ASSERT_TRUE(sim->waitForExit(15000));
    EXPECT_EQ(sim->exitCode(), 0) << sim->output().toStdString();
    EXPECT_TRUE(sim->output().contains("image: match\n")) << sim->output().toStdString();
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
    expectedSimExit = 1;   // taken away before the closing script finished
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

// The same wizard with one deliberate fault in what it sends: the camera's verdict
// catches it, names it at its byte offset, and the run fails.
namespace {

class FaultyWizardOnSim : public FlashOverTheWire {
protected:
    static constexpr int kFaultyLine = 5;
    // QGt, ckkV, cki0n, ckb0 and ckl0 with their STX and EOT.
    static constexpr qint64 kCheckAndStartBytes = 5 + 6 + 7 + 6 + 6;

    LineRecords lines;   // the window's firmware lines, kept past the window

    // Offset of the first byte of line k's frame in everything the wizard sent.
    qint64 lineFrameOffset(int k) const
    {
        qint64 offset = kCheckAndStartBytes;
        for (int line = 0; line < k; ++line)
            offset += lineFrameHead().size() + lines.at(line).size() + lineFrameTail().size();
        return offset;
    }

    QString faultyRun(FaultySender::Fault fault)
    {
        expectedSimExit = 1;
        // An early line must reach the camera before its answer to the line before: an
        // unpaced camera could answer first, and the line would not be early where it sees it.
        const QStringList simArguments = fault == FaultySender::Fault::EarlyLine
                                             ? QStringList{QStringLiteral("--ack-delay-ms"), QStringLiteral("20")}
                                             : QStringList{};
        start(simArguments, std::make_unique<FaultySender>(std::make_unique<SerialPortControl>(), fault, kFaultyLine));
        lines = window->firmwareLines();
        runCheck();
        click("cmdNext");
        EXPECT_TRUE(waitFor([this] { return window->session().LineIndex > kFaultyLine + 3; }, 30000));
        return simSummary();
    }
};

TEST_F(FaultyWizardOnSim, AStrayByteIsCaught)
{
    const QString summary = faultyRun(FaultySender::Fault::StrayByte);
    EXPECT_TRUE(summary.contains(QStringLiteral("protocol: FAULT at byte %1, ").arg(lineFrameOffset(kFaultyLine))))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("stray byte 0x55 outside any frame"))) << summary.toStdString();
}

TEST_F(FaultyWizardOnSim, ADoubledEotIsCaught)
{
    const QString summary = faultyRun(FaultySender::Fault::DoubledEot);
    EXPECT_TRUE(summary.contains(QStringLiteral("protocol: FAULT at byte %1, ").arg(lineFrameOffset(kFaultyLine + 1))))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("stray byte 0x04 outside any frame"))) << summary.toStdString();
}

TEST_F(FaultyWizardOnSim, ALineBeforeTheAcknowledgementIsCaught)
{
    const QString summary = faultyRun(FaultySender::Fault::EarlyLine);
    EXPECT_TRUE(summary.contains(QStringLiteral("protocol: FAULT at byte %1, ").arg(lineFrameOffset(kFaultyLine + 1))))
        << summary.toStdString();
    EXPECT_TRUE(summary.contains(QStringLiteral("\"ckw\" sent before the acknowledgement of the \"ckw\" before it")))
        << summary.toStdString();
}

} // namespace
