// The camera check through the real window, the real serial port layer on a
// pseudo-terminal and the simulated camera: every outcome reached over the wire.
#include "link/SerialPortControl.h"
#include "tests/e2e/WizardOnSim.h"
#include "tests/support/CapturedStderr.h"

#include <QCoreApplication>
#include <QTextDocument>

namespace {

const char *const kCheckCommands = "commands: QGt ckkV cki0n ckb0\n";

class CheckOverTheWire : public WizardOnSim {
protected:
    // A COM port entry's tooltip as plain text.
    QString tipOf(int entry) const
    {
        QTextDocument document;
        document.setHtml(get<QComboBox>("Combo1")->itemData(entry, Qt::ToolTipRole).toString());
        return document.toPlainText().trimmed();   // a wide tip sits in a table, which adds line breaks
    }
};

TEST_F(CheckOverTheWire, CameraOnAnotherVersionNeedsFlashing)
{
    start({});
    runCheck();
    EXPECT_TRUE(shown("frame4"));
    EXPECT_FALSE(shown("frame4a"));
    EXPECT_FALSE(shown("frame3"));
    EXPECT_EQ(buttons(), "+++");
    EXPECT_EQ(window->session().CameraVersion, "3.45");
    EXPECT_FALSE(timerRunning("throbAnimate"));
    EXPECT_TRUE(simSummary().contains(kCheckCommands));
}

TEST_F(CheckOverTheWire, CameraOnTheCarriedVersionNeedsNoFlashing)
{
    start({"--version", "3.46", "--lira"});
    runCheck();
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_TRUE(message().startsWith("The attached camera does not need to be flashed."));
    EXPECT_EQ(buttons(), "+++");
    // Next goes to the warning page, and only a second Next would start the download.
    click("cmdNext");
    EXPECT_TRUE(shown("frame4"));
    EXPECT_FALSE(shown("frame4a"));
    EXPECT_EQ(window->pageNumber(), 2);
    EXPECT_TRUE(simSummary().contains(kCheckCommands));
}

TEST_F(CheckOverTheWire, CameraWithoutVersionReportIsNotAPtz2)
{
    start({"--no-report"});
    runCheck();
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_TRUE(message().startsWith("The attached camera doesn't seem to be a PictureTel PTZ 2 camera."));
    EXPECT_EQ(buttons(), "+++");
}

TEST_F(CheckOverTheWire, AcknowledgementBeforeTheReportIsNotAPtz2)
{
    start({"--ack-first"});
    runCheck();
    EXPECT_TRUE(message().startsWith("The attached camera doesn't seem to be a PictureTel PTZ 2 camera."));
    EXPECT_EQ(window->session().CameraVersion, "unk");
}

TEST_F(CheckOverTheWire, UnansweredStrictCommandMeansNoResponse)
{
    start({"--ignore", "cki0n"});
    QElapsedTimer took;
    took.start();
    runCheck();
    EXPECT_GE(took.elapsed(), 3000);   // more than three whole seconds must pass
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_TRUE(message().startsWith("No response from the camera."));
    EXPECT_EQ(buttons(), "+-+");
    // The version request was never sent.
    EXPECT_TRUE(simSummary().contains("commands: QGt ckkV cki0n\n"));
}

TEST_F(CheckOverTheWire, UnansweredTolerantCommandsOnlyDelayTheCheck)
{
    start({"--ignore", "QGt", "--ignore", "ckkV"});
    runCheck(0, 20000);
    EXPECT_TRUE(shown("frame4"));
    EXPECT_TRUE(simSummary().contains(kCheckCommands));
}

TEST_F(CheckOverTheWire, PortHeldByAnotherProgramCannotBeOpened)
{
    start({});
    SerialPortControl holder;
    holder.setCommPort(1);
    holder.open();
    CapturedStderr captured;
    ASSERT_TRUE(captured.ok());
    runCheck();
    const QString said = captured.text();
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_TRUE(message().startsWith("The COM port seems to be in use by some other program."));
    EXPECT_EQ(buttons(), "+-+");
    EXPECT_EQ(window->session().CamState, 0);

    // Standard error and the entry's tip name the device and the holder, by its lock file.
    const QString cause = QStringLiteral("Cannot open COM1 (%1): held by process %2 (")
                              .arg(sim->devicePath())
                              .arg(QCoreApplication::applicationPid());
    EXPECT_TRUE(said.startsWith(QStringLiteral("revertex: ") + cause)) << said.toStdString();
    click("cmdPrev");
    const QString tip = tipOf(0);
    EXPECT_TRUE(tip.contains(QStringLiteral("\nLast check: ") + cause)) << tip.toStdString();
}

TEST_F(CheckOverTheWire, ComPortTipNamesTheDeviceTheEnvironmentSet)
{
    start({});
    qputenv("REVERTEX_COM2", "/dev/revertex-no-such-port");
    click("cmdNext");
    EXPECT_EQ(tipOf(0), QStringLiteral("COM 1: %1 (set by REVERTEX_COM1)").arg(sim->devicePath()));
    EXPECT_EQ(tipOf(1), QStringLiteral("COM 2: /dev/revertex-no-such-port (set by REVERTEX_COM2)"));

    runCheck(1);
    click("cmdPrev");
    EXPECT_EQ(tipOf(1),
              QStringLiteral("COM 2: /dev/revertex-no-such-port (set by REVERTEX_COM2)\n"
                             "Last check: Cannot open COM2 (/dev/revertex-no-such-port): no such device: "
                             "/dev/revertex-no-such-port does not exist (is the adapter plugged in?)"));
}

TEST_F(CheckOverTheWire, MissingPortThenBackAndTheRightPort)
{
    start({});
    qputenv("REVERTEX_COM2", "/dev/revertex-no-such-port");
    runCheck(1);
    EXPECT_TRUE(message().startsWith("The COM port seems to be in use by some other program."));
    click("cmdPrev");
    EXPECT_TRUE(shown("frame2"));
    EXPECT_EQ(buttons(), "+++");
    runCheck(0);
    EXPECT_TRUE(shown("frame4"));
    EXPECT_TRUE(simSummary().contains(kCheckCommands));
}

TEST_F(CheckOverTheWire, SecondRunReopensThePortAndAsksAgain)
{
    start({"--version", "3.46"});
    runCheck();
    EXPECT_TRUE(shown("frame4a"));
    click("cmdPrev");
    runCheck();
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_TRUE(simSummary().contains("commands: QGt ckkV cki0n ckb0 QGt ckkV cki0n ckb0\n"));
}

TEST_F(CheckOverTheWire, DeviceVanishingDuringTheCheckEndsIt)
{
    start({"--ignore", "cki0n"});
    click("cmdNext");
    click("cmdNext");
    ASSERT_TRUE(waitFor([this] { return window->session().CamState == 6; }, 10000));
    sim->stop();
    ASSERT_TRUE(waitFor([this] { return !timerRunning("timerCamTest"); }, 10000));
    EXPECT_TRUE(shown("frame4a"));
    EXPECT_TRUE(message().startsWith("The COM port seems to be in use by some other program."));
    EXPECT_EQ(buttons(), "+-+");
    EXPECT_TRUE(reports.isEmpty());
}

} // namespace
