// When the window's sequences tick: on a port that tells of arrivals a waiting sequence
// ticks when bytes arrive (and now and then for its limits), the tick after an ended
// wait comes at once; on a polled port every tick keeps the designed 1 ms. What each
// tick does is the business of the tick-by-tick tests; here only its moment counts.
#include "WindowHarness.h"

#include "flash/PacedTimer.h"
#include "flash/TickPacing.h"
#include "flash/LineCodec.h"
#include "tests/support/ArrivingCommPort.h"
#include "tests/support/WireFrames.h"

#include <QElapsedTimer>
#include <QTest>
#include <QtEndian>

namespace {

const QByteArray kVersionReport("\x02" "BOOT CBOX 3.45\x04");
constexpr int kDesignedMs = 1;
constexpr int kFlashCapMs = 20000;   // generous: the whole run needs well under a second

// The firmware of the event-loop runs: a few lines, none ending in an escaped EOT.
QByteArray smallFirmware()
{
    const QList<char> fills{'\x01', '\x02', '\x03', '\x05', '\x06'};
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(qint32(fills.size() - 1), bytes.data());
    for (char fill : fills) {
        const QByteArray body = LineCodec::encodeLine(QByteArray(LineCodec::kImageBytes, fill));
        char length[4];
        qToLittleEndian<qint32>(qint32(body.size()), length);
        bytes.append(length, 4).append(body);
    }
    return bytes;
}

// A camera that answers every command at once: the version request with its report
// and an acknowledgement, everything else with an acknowledgement.
QByteArray promptCamera(const QByteArray &frame)
{
    if (frame == QByteArray("\x02" "ckb0\x04"))
        return kVersionReport + kAck;
    return kAck;
}

// The real window on a fake clock; the port is polled unless the fixture says otherwise.
class Paced : public WindowHarness {
protected:
    const CameraSession &session() const { return window->session(); }
    int cadence(const char *name) const { return get<PacedTimer>(name)->cadence(); }
};

using OnAPolledPort = Paced;

class OnArrivals : public Paced {
protected:
    ArrivingCommPort *arriving = nullptr;

    std::unique_ptr<FakeCommPort> makePort() override
    {
        auto made = std::make_unique<ArrivingCommPort>();
        arriving = made.get();
        return made;
    }
    QByteArray firmware() const override { return smallFirmware(); }
};

TEST_F(OnAPolledPort, EveryTickKeepsTheDesignedInterval)
{
    goToTestingPage();
    for (int i = 0; i < 6; ++i) {   // open, send, wait, wait with the reply, send, wait
        if (i == 3)
            port->pendingReads.append(kAck);
        tick("timerCamTest_Timer");
        EXPECT_EQ(cadence("timerCamTest"), kDesignedMs) << "after tick " << i;
    }
}

TEST_F(OnArrivals, TheCheckWaitsForBytesAndGoesOnAtOnceWhenTheyAcknowledge)
{
    goToTestingPage();
    EXPECT_EQ(cadence("timerCamTest"), kDesignedMs);
    tick("timerCamTest_Timer");   // open the port: no wait yet
    EXPECT_EQ(cadence("timerCamTest"), kDesignedMs);

    tick("timerCamTest_Timer");   // "QGt" goes out: from now on the check waits
    ASSERT_EQ(port->writes.size(), 1);
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kIdleTickMs);   // the fake clock cannot tell its seconds
    tick("timerCamTest_Timer");   // nothing came
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kIdleTickMs);

    arriving->arrive(QByteArray("\x02lv"));   // word of bytes: look at once
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kAtOnceMs);
    tick("timerCamTest_Timer");   // half a reply: still waiting
    EXPECT_EQ(session().CamState, 2);
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kIdleTickMs);

    arriving->arrive(QByteArray("r\x04"));
    tick("timerCamTest_Timer");   // the acknowledgement is in
    EXPECT_EQ(session().CamState, 3);
    EXPECT_EQ(port->writes.size(), 1);   // nothing sent on the tick that took it in
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kAtOnceMs);
    tick("timerCamTest_Timer");   // "ckkV"
    EXPECT_EQ(port->writes.size(), 2);
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kIdleTickMs);
}

TEST_F(OnArrivals, BytesThatArriveWhileATickRunsBringTheNextTickAtOnce)
{
    goToTestingPage();
    tick("timerCamTest_Timer");
    tick("timerCamTest_Timer");   // "QGt" out
    arriving->arriveDuringNextRead = kAck;   // comes just after this tick read the port
    tick("timerCamTest_Timer");
    EXPECT_EQ(session().CamState, 2);   // this tick did not see it
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kAtOnceMs);
    tick("timerCamTest_Timer");
    EXPECT_EQ(session().CamState, 3);
}

TEST_F(OnArrivals, ALimitThatRunsOutEndsTheWaitAndTheNextTickComesAtOnce)
{
    goToTestingPage();
    tick("timerCamTest_Timer");
    tick("timerCamTest_Timer");   // "QGt" out, never answered
    clock->advance(3);
    tick("timerCamTest_Timer");   // the tolerant limit passed: counts as acknowledged
    EXPECT_TRUE(session().AckReceived);
    EXPECT_EQ(session().CamState, 2);
    EXPECT_EQ(cadence("timerCamTest"), TickPacing::kAtOnceMs);
    tick("timerCamTest_Timer");   // polls once more, goes on
    EXPECT_EQ(session().CamState, 3);
    EXPECT_EQ(cadence("timerCamTest"), kDesignedMs);
}

TEST_F(OnArrivals, TheLinesGoOutAtOnceAfterEachAcknowledgement)
{
    port->isOpen = true;
    goToProgressPage();
    tick("timerStartDownload_Timer");   // "ckl0"
    EXPECT_EQ(cadence("timerStartDownload"), TickPacing::kIdleTickMs);
    arriving->arrive(kAck);
    EXPECT_EQ(cadence("timerStartDownload"), TickPacing::kAtOnceMs);
    tick("timerStartDownload_Timer");   // hands over to the line transfer
    EXPECT_EQ(cadence("timerStartDownload"), -1);
    EXPECT_EQ(cadence("Timer1"), TickPacing::kAtOnceMs);   // its first tick sends line 0 at once

    for (int line = 0; line < 3; ++line) {
        SCOPED_TRACE(line);
        tick("Timer1_Timer");   // the line goes out; only a stall limits its wait
        EXPECT_EQ(session().LineIndex, line);
        EXPECT_EQ(cadence("Timer1"), TickPacing::kStallLookMs);
        tick("Timer1_Timer");   // nothing yet
        EXPECT_EQ(cadence("Timer1"), TickPacing::kStallLookMs);
        arriving->arrive(kAck);
        EXPECT_EQ(cadence("Timer1"), TickPacing::kAtOnceMs);
        tick("Timer1_Timer");   // takes the acknowledgement in
        EXPECT_EQ(session().LineIndex, line);
        EXPECT_EQ(cadence("Timer1"), TickPacing::kAtOnceMs);
    }
}

TEST_F(OnArrivals, TheDrainAfterCkkComesAtTheDesignedIntervalAsItWaitsForNothing)
{
    port->isOpen = true;
    goToProgressPage();
    window->setTimerEnabled(SequenceTimer::StartDownload, false);
    window->setTimerEnabled(SequenceTimer::Finish, true);
    for (int state = 0; state < 8; state += 2) {   // four commands, each acknowledged
        tick("timerFinish_Timer");
        EXPECT_EQ(cadence("timerFinish"), TickPacing::kIdleTickMs);
        arriving->arrive(kAck);
        tick("timerFinish_Timer");
        EXPECT_EQ(cadence("timerFinish"), TickPacing::kAtOnceMs);
    }
    tick("timerFinish_Timer");   // "ckk": no wait follows it
    EXPECT_EQ(session().FinishState, 9);
    EXPECT_EQ(cadence("timerFinish"), kDesignedMs);
}

// Bytes whose word came while no wait was ticking (at a send step, or between two
// sequences) are told of only once. The wait that follows the next send must take them
// in on its first poll, within the designed interval, not on a later idle look.
class UnreadBytes : public OnArrivals {
protected:
    const QByteArray kNoise = QByteArray("\x02xyz\x04");

    void SetUp() override
    {
        OnArrivals::SetUp();
        port->isOpen = true;
    }

    void startDownload()
    {
        goToProgressPage();
        tick("timerStartDownload_Timer");   // "ckl0"
        arriving->arrive(kAck);
        tick("timerStartDownload_Timer");   // hands over to the line transfer
    }

    // The next tick of `handler` sends; the tick after it must come at once and read.
    void expectTakenInByTheFirstPollAfterTheSend(const char *timerName, const char *handler)
    {
        const qsizetype writes = port->writes.size();
        tick(handler);
        ASSERT_GT(port->writes.size(), writes) << "no send on this tick";
        ASSERT_FALSE(port->pendingReads.isEmpty()) << "the send tick must not read";
        EXPECT_LE(cadence(timerName), kDesignedMs);
        tick(handler);
        EXPECT_TRUE(port->pendingReads.isEmpty());
    }
};

TEST_F(UnreadBytes, ADoubledAcknowledgementAtALineSendIsTakenInAfterTheLine)
{
    startDownload();
    tick("Timer1_Timer");   // line 0
    arriving->arrive(kAck);
    tick("Timer1_Timer");   // takes its acknowledgement in
    arriving->arrive(kAck);   // the camera says it twice
    expectTakenInByTheFirstPollAfterTheSend("Timer1", "Timer1_Timer");
    EXPECT_EQ(session().LineIndex, 1);
    EXPECT_TRUE(session().AckReceived);   // releases one more line, as a doubled one does
}

TEST_F(UnreadBytes, BytesLeftOverFromTheCheckAreTakenInAfterTheStartCommand)
{
    goToTestingPage();
    window->land(Landing::NeedsFlashing);
    arriving->arrive(kNoise);   // after the check's last poll, while no sequence runs
    click("cmdNext");
    expectTakenInByTheFirstPollAfterTheSend("timerStartDownload", "timerStartDownload_Timer");
    EXPECT_EQ(session().StartState, 1);
}

TEST_F(UnreadBytes, BytesInTheHandOverToTheClosingScriptAreTakenInAfterItsFirstCommand)
{
    startDownload();
    const qint32 lines = qint32(window->firmwareLines().size());
    for (int line = 0; line < lines; ++line) {
        tick("Timer1_Timer");
        arriving->arrive(kAck);
        tick("Timer1_Timer");
    }
    tick("Timer1_Timer");   // past the last line: hands over to timerFinish
    ASSERT_TRUE(timer("timerFinish")->isActive());
    arriving->arrive(kNoise);
    expectTakenInByTheFirstPollAfterTheSend("timerFinish", "timerFinish_Timer");
    EXPECT_EQ(session().FinishState, 1);
}

// --- in the running event loop ---

TEST_F(OnArrivals, ASilentCameraIsLookedAtOnlyNowAndThen)
{
    goToTestingPage();
    int ticks = 0;
    QObject::connect(get<PacedTimer>("timerCamTest"), &PacedTimer::ticked, [&ticks] { ++ticks; });
    ASSERT_TRUE(QTest::qWaitFor([this] { return session().CamState == 2; }, kFlashCapMs));   // "QGt" out
    const int ticksBefore = ticks;
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::qWait(300);   // the fake clock stands still: the wait never runs out
    const qint64 waitedMs = elapsed.elapsed();
    EXPECT_EQ(session().CamState, 2);
    EXPECT_LE(ticks - ticksBefore, waitedMs / TickPacing::kIdleTickMs + 2);   // not one a millisecond
    EXPECT_GE(ticks - ticksBefore, 1);   // but it does look
}

TEST_F(OnArrivals, AWholeFlashRunsOnArrivalsWithAFewTicksALine)
{
    arriving->camera = promptCamera;
    std::map<QString, int> ticks;
    for (const char *name : {"timerCamTest", "timerStartDownload", "Timer1", "timerFinish"})
        QObject::connect(get<PacedTimer>(name), &PacedTimer::ticked, [&ticks, name] { ++ticks[QString::fromLatin1(name)]; });

    window->show();
    QElapsedTimer elapsed;
    elapsed.start();
    goToTestingPage();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !get<QFrame>("frame4")->isHidden(); }, kFlashCapMs))
        << shownPages().join(QLatin1Char(' ')).toStdString();
    click("cmdNext");
    ASSERT_TRUE(QTest::qWaitFor([this] { return !get<QFrame>("frame6")->isHidden(); }, kFlashCapMs))
        << shownPages().join(QLatin1Char(' ')).toStdString();
    const qint64 idleTicksAtMost = elapsed.elapsed() / TickPacing::kIdleTickMs + 1;

    const qint32 lines = qint32(window->firmwareLines().size());
    EXPECT_EQ(session().LineIndex, lines);
    EXPECT_TRUE(reports.isEmpty());
    // Each line: the tick that sends it and the one that takes in its acknowledgement;
    // a tick more where the answer came in two parts, and whatever idle ticks passed.
    EXPECT_GE(ticks["Timer1"], 2 * lines + 1);
    EXPECT_LE(ticks["Timer1"], 2 * lines + 1 + idleTicksAtMost);
    EXPECT_GE(ticks["timerCamTest"], 10);
    EXPECT_LE(ticks["timerCamTest"], 10 + idleTicksAtMost);
    EXPECT_GE(ticks["timerFinish"], 17);
    EXPECT_LE(ticks["timerFinish"], 17 + idleTicksAtMost);
}

} // namespace
