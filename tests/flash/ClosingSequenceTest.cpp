#include "flash/ClosingSequence.h"
#include "tests/flash/SequenceDoubles.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using namespace flashtest;

namespace {

// The eight commands of the script as they must appear on the wire.
const QList<QByteArray> kScriptFrames{
    QByteArray::fromHex("02636b623004"),      // ckb0
    QByteArray::fromHex("02636b7a306d04"),    // ckz0m
    QByteArray::fromHex("02634464306b3304"),  // cDd0k3
    QByteArray::fromHex("02634472306b04"),    // cDr0k
    QByteArray::fromHex("02636b6b04"),        // ckk
    QByteArray::fromHex("02636b69306e04"),    // cki0n
    QByteArray::fromHex("02636b6430f204"),    // ckd0 0xF2
    QByteArray::fromHex("02636b7a306d04"),    // ckz0m again
};

constexpr qint32 kDoneState = 16;

class ClosingSequenceTest : public ::testing::Test {
protected:
    CameraSession session;
    FakeCommPort silent;
    FakeClock clock;
    OrderedSurface window;

    void SetUp() override
    {
        silent.isOpen = true;
        session.AckReceived = true;   // as the line transfer leaves it
    }
};

TEST_F(ClosingSequenceTest, PromptCameraReachesTheDonePageOnTheSeventeenthTick)
{
    PromptCamera camera;
    ClosingSequence closing{session, camera, clock, window};

    for (int tick = 1; tick <= 16; ++tick) {
        closing.tick();
        ASSERT_TRUE(window.landings.isEmpty()) << "tick " << tick;
    }
    EXPECT_EQ(session.FinishState, kDoneState);
    closing.tick();

    EXPECT_EQ(window.landings, QList<Landing>{Landing::Flashed});
    EXPECT_EQ(camera.writes, kScriptFrames);   // one write per command, in order
    EXPECT_EQ(session.FinishState, kDoneState);
    EXPECT_TRUE(window.timers.empty());        // the landing row switches timerFinish off
}

TEST_F(ClosingSequenceTest, SilentCameraReachesTheDonePageWhenEveryWaitRunsOut)
{
    ClosingSequence closing{session, silent, clock, window};
    const Stamp begun = clock.seconds;

    // Ticks are far faster than a second: let the clock move one second after every
    // tick that found a wait still pending.
    int ticks = 0;
    while (window.landings.isEmpty() && ticks < 200) {
        const qint32 state = session.FinishState;
        closing.tick();
        ++ticks;
        if (state % 2 == 1 && state != 9 && session.FinishState == state && !session.AckReceived)
            clock.advance(1);
    }

    EXPECT_EQ(window.landings, QList<Landing>{Landing::Flashed});
    EXPECT_EQ(silent.writes, kScriptFrames);
    // Six one-second waits end at the second whole second, the four-second wait at the fifth.
    EXPECT_EQ(clock.seconds - begun, 6 * 2 + 5);
}

// A wait state of the script and its limit in seconds.
struct WaitCase {
    qint32 state;
    qint64 limit;
};

void PrintTo(const WaitCase &c, std::ostream *os) { *os << "state " << c.state << ", limit " << c.limit << " s"; }

class ClosingWait : public ClosingSequenceTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(ClosingWait, EqualToTheLimitKeepsWaitingOneMoreSecondGoesOn)
{
    const WaitCase c = GetParam();
    ClosingSequence closing{session, silent, clock, window};
    session.FinishState = c.state;
    session.FinishSentAt = clock.seconds;
    session.AckReceived = false;

    clock.advance(c.limit);
    closing.tick();
    EXPECT_EQ(session.FinishPolledAt, clock.seconds);
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.FinishState, c.state);

    clock.advance(1);
    closing.tick();
    EXPECT_TRUE(session.AckReceived);           // counted as acknowledged...
    EXPECT_EQ(session.FinishState, c.state);    // ...but the step moves on the next tick
    closing.tick();
    EXPECT_EQ(session.FinishState, c.state + 1);
    EXPECT_TRUE(silent.writes.isEmpty());
}

TEST_P(ClosingWait, AcknowledgementEndsTheWaitOnTheTickThatFindsIt)
{
    const WaitCase c = GetParam();
    ClosingSequence closing{session, silent, clock, window};
    session.FinishState = c.state;
    session.FinishSentAt = clock.seconds;
    session.AckReceived = false;

    silent.pendingReads.append(framed("lira"));
    closing.tick();
    EXPECT_EQ(session.FinishState, c.state + 1);
    EXPECT_TRUE(silent.writes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(States, ClosingWait,
                         ::testing::Values(WaitCase{1, 1}, WaitCase{3, 1}, WaitCase{5, 1}, WaitCase{7, 1},
                                           WaitCase{11, 1}, WaitCase{13, 1}, WaitCase{15, 4}));

TEST_F(ClosingSequenceTest, Cki0nFollowsCkkTwoTicksLaterWhateverCameBack)
{
    for (const QByteArray &reply : {QByteArray(), kAck, framed("nope"), STX + "lv"}) {
        CameraSession fresh;
        FakeCommPort port;
        port.isOpen = true;
        ClosingSequence closing{fresh, port, clock, window};
        fresh.FinishState = 8;

        closing.tick();                          // ckk
        if (!reply.isEmpty())
            port.pendingReads.append(reply);
        closing.tick();                          // state 9 polls once and goes on
        EXPECT_EQ(fresh.FinishPolledAt, clock.seconds);
        EXPECT_TRUE(fresh.AckReceived);
        closing.tick();                          // cki0n

        EXPECT_EQ(port.writes, (QList<QByteArray>{kScriptFrames.at(4), kScriptFrames.at(5)}))
            << reply.toHex().constData();
        EXPECT_EQ(fresh.FinishState, 11);
    }
}

TEST_F(ClosingSequenceTest, LateAcknowledgementEndsTheNextWaitEarly)
{
    ClosingSequence closing{session, silent, clock, window};
    closing.tick();                              // ckb0
    clock.advance(2);
    closing.tick();                              // its wait runs out
    closing.tick();                              // goes on to state 2
    closing.tick();                              // ckz0m
    ASSERT_EQ(session.FinishState, 3);
    silent.pendingReads.append(kAck);            // ckb0's answer, late
    closing.tick();

    EXPECT_EQ(session.FinishState, 4);           // no time has passed since ckz0m
    EXPECT_EQ(silent.writes.size(), 2);
}

TEST_F(ClosingSequenceTest, NothingHappensOutsideTheScript)
{
    ClosingSequence closing{session, silent, clock, window};
    for (qint32 state : {17, 18, 1000, -1}) {
        session.FinishState = state;
        silent.pendingReads = {kAck};
        closing.tick();
        EXPECT_EQ(session.FinishState, state);
        EXPECT_EQ(silent.pendingReads.size(), 1);   // the port was not even read
    }
    EXPECT_TRUE(silent.writes.isEmpty());
    EXPECT_TRUE(window.calls.isEmpty());
}

TEST_F(ClosingSequenceTest, PortFailuresPropagateWithoutAdvancing)
{
    ClosingSequence closing{session, silent, clock, window};
    silent.failWrite = true;
    EXPECT_THROW(closing.tick(), RuntimeError);
    EXPECT_EQ(session.FinishState, 0);
    EXPECT_TRUE(session.AckReceived);
    EXPECT_EQ(session.FinishSentAt, 0);

    silent.failWrite = false;
    closing.tick();
    silent.failRead = true;
    clock.advance(5);
    EXPECT_THROW(closing.tick(), RuntimeError);
    EXPECT_EQ(session.FinishState, 1);
    EXPECT_FALSE(session.AckReceived);
}

} // namespace
