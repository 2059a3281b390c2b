#include "flash/DownloadStart.h"
#include "tests/flash/SequenceDoubles.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using namespace flashtest;

namespace {

class DownloadStartTest : public ::testing::Test {
protected:
    CameraSession session;
    FakeCommPort port;
    FakeClock clock;
    OrderedSurface window;
    DownloadStart start{session, port, clock, window};

    void SetUp() override
    {
        port.isOpen = true;
        session.resetForDownload();
    }

    // Sends the start command and moves the clock on by `seconds` before the next poll.
    void sendStartThenWait(Stamp seconds)
    {
        start.tick();
        clock.advance(seconds);
    }
};

TEST_F(DownloadStartTest, FirstTickSendsCkl0InOneWrite)
{
    start.tick();

    ASSERT_EQ(port.writes.size(), 1);
    EXPECT_EQ(port.writes.at(0), QByteArray::fromHex("02636b6c3004"));
    EXPECT_EQ(session.StartSentAt, clock.seconds);
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.StartState, 1);
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_TRUE(window.timers.empty());
}

TEST_F(DownloadStartTest, EveryTickSwitchesTheAnimationOnFirst)
{
    start.tick();                       // send
    EXPECT_EQ(window.calls, QStringList{"throb"});
    start.tick();                       // poll, nothing yet
    EXPECT_EQ(window.calls, (QStringList{"throb", "throb"}));
    session.StartState = 7;             // not a step: only the animation
    start.tick();
    EXPECT_EQ(window.calls, (QStringList{"throb", "throb", "throb"}));
    EXPECT_EQ(port.writes.size(), 1);
}

TEST_F(DownloadStartTest, AcknowledgementHandsOverInOrder)
{
    sendStartThenWait(3);
    window.calls.clear();
    port.pendingReads.append(kAck);
    start.tick();

    EXPECT_EQ(window.calls, (QStringList{"throb", timerCall(SequenceTimer::StartDownload, false),
                                         timerCall(SequenceTimer::LineTransfer, true), "throb"}));
    EXPECT_TRUE(session.AckReceived);
    EXPECT_EQ(session.StartState, 1);
    EXPECT_EQ(session.StartPolledAt, clock.seconds);
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_EQ(port.writes.size(), 1);   // the command is never repeated
}

TEST_F(DownloadStartTest, WaitsWithoutResendingUntilTheLimit)
{
    start.tick();
    for (int second = 0; second <= 31; ++second) {
        start.tick();
        EXPECT_EQ(session.StartPolledAt, clock.seconds);
        clock.advance(1);
    }
    EXPECT_EQ(port.writes.size(), 1);
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.StartState, 1);
}

// Whole seconds between the send and the poll, and how the poll ends.
struct StartLimitCase {
    Stamp elapsed;
    bool acknowledged;
    bool handsOver;
    bool powerCycle;
};

void PrintTo(const StartLimitCase &c, std::ostream *os)
{
    *os << c.elapsed << " s" << (c.acknowledged ? ", acknowledged" : ", silent");
}

class DownloadStartLimit : public DownloadStartTest, public ::testing::WithParamInterface<StartLimitCase> {};

TEST_P(DownloadStartLimit, PollEndsAsExpected)
{
    const StartLimitCase c = GetParam();
    sendStartThenWait(c.elapsed);
    if (c.acknowledged)
        port.pendingReads.append(framed("lira"));
    start.tick();

    EXPECT_EQ(window.timerOn(SequenceTimer::LineTransfer), c.handsOver);
    EXPECT_EQ(window.landings, c.powerCycle ? QList<Landing>{Landing::PowerCycle} : QList<Landing>{});
    EXPECT_EQ(session.AckReceived, c.handsOver);
    EXPECT_EQ(session.StartState, 1);
}

INSTANTIATE_TEST_SUITE_P(Seconds, DownloadStartLimit,
                         ::testing::Values(StartLimitCase{0, false, false, false},
                                           StartLimitCase{30, true, true, false},    // late but in time
                                           StartLimitCase{31, false, false, false},  // 31 is not enough
                                           StartLimitCase{31, true, true, false},
                                           StartLimitCase{32, false, false, true},
                                           StartLimitCase{32, true, true, false},    // an answer beats the limit
                                           StartLimitCase{90, false, false, true}));

TEST_F(DownloadStartTest, PowerCycleLeavesTimersToTheWindow)
{
    sendStartThenWait(32);
    start.tick();

    EXPECT_EQ(window.landings, QList<Landing>{Landing::PowerCycle});
    EXPECT_TRUE(window.timers.empty());   // the landing row switches the start off
    EXPECT_EQ(port.writes.size(), 1);
}

TEST_F(DownloadStartTest, PortFailuresPropagate)
{
    port.failWrite = true;
    EXPECT_THROW(start.tick(), RuntimeError);
    EXPECT_EQ(session.StartState, 0);   // nothing went out, nothing advanced
    EXPECT_TRUE(session.AckReceived);

    port.failWrite = false;
    start.tick();
    port.failRead = true;
    const Stamp polledBefore = session.StartPolledAt;
    clock.advance(40);
    EXPECT_THROW(start.tick(), RuntimeError);
    EXPECT_EQ(session.StartPolledAt, polledBefore);
    EXPECT_TRUE(window.landings.isEmpty());
}

} // namespace
