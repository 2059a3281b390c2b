// When a sequence's next tick comes (TickPacing), and the timer that moves its ticks
// without changing its interval or its enabled state (PacedTimer).
#include "flash/PacedTimer.h"
#include "flash/TickPacing.h"

#include <QElapsedTimer>
#include <QTest>
#include <gtest/gtest.h>

namespace {

using TickPacing::AfterTick;
using TickPacing::kAtOnceMs;
using TickPacing::kIdleTickMs;
using TickPacing::nextTickMs;

constexpr int kDesignedMs = 1;
constexpr int kLongCadenceMs = 60000;   // far beyond any stall of a busy machine

AfterTick onArrivals()
{
    AfterTick tick;
    tick.portTellsArrivals = true;
    return tick;
}

TEST(TickPacing, APolledPortKeepsTheDesignedIntervalWhateverHappened)
{
    for (bool waiting : {false, true})
        for (bool waitEnded : {false, true})
            for (bool bytesUnread : {false, true})
                for (qint64 untilStamp : {qint64(-1), qint64(3), qint64(900)}) {
                    AfterTick tick;
                    tick.waiting = waiting;
                    tick.waitEnded = waitEnded;
                    tick.bytesUnread = bytesUnread;
                    tick.msUntilNextStamp = untilStamp;
                    EXPECT_EQ(nextTickMs(tick, kDesignedMs), kDesignedMs)
                        << waiting << waitEnded << bytesUnread << untilStamp;
                }
}

TEST(TickPacing, AWaitingSequenceLooksJustAfterTheSecondChangesOrEveryIdleTick)
{
    AfterTick tick = onArrivals();
    tick.waiting = true;

    tick.msUntilNextStamp = 5;
    EXPECT_EQ(nextTickMs(tick, kDesignedMs), 5 + TickPacing::kAfterStampChangeMs);
    tick.msUntilNextStamp = 1000;   // no look before the limits can have changed
    EXPECT_EQ(nextTickMs(tick, kDesignedMs), 1000 + TickPacing::kAfterStampChangeMs);
    tick.msUntilNextStamp = -1;   // a clock that cannot tell
    EXPECT_EQ(nextTickMs(tick, kDesignedMs), kIdleTickMs);
}

TEST(TickPacing, AWaitForAStalledLineLooksAtTheSameCadenceWhateverTheClock)
{
    AfterTick tick = onArrivals();
    tick.waiting = true;
    tick.onlyStallLimit = true;
    for (qint64 untilStamp : {qint64(-1), qint64(5), qint64(700)}) {
        tick.msUntilNextStamp = untilStamp;
        EXPECT_EQ(nextTickMs(tick, kDesignedMs), TickPacing::kStallLookMs) << untilStamp;
    }
}

TEST(TickPacing, UnreadBytesBringAWaitingSequencesNextTickAtOnce)
{
    AfterTick tick = onArrivals();
    tick.waiting = true;
    tick.msUntilNextStamp = 700;
    for (bool onlyStallLimit : {false, true}) {
        tick.bytesUnread = true;
        tick.onlyStallLimit = onlyStallLimit;
        EXPECT_EQ(nextTickMs(tick, kDesignedMs), kAtOnceMs) << onlyStallLimit;
    }
}

TEST(TickPacing, TheTickAfterAnEndedWaitRunsAtOnceEveryOtherAtTheDesignedInterval)
{
    AfterTick tick = onArrivals();
    tick.waitEnded = true;
    EXPECT_EQ(nextTickMs(tick, kDesignedMs), kAtOnceMs);

    tick.waitEnded = false;   // a send, an open, a judgement, the drain after "ckk"
    EXPECT_EQ(nextTickMs(tick, kDesignedMs), kDesignedMs);
    tick.bytesUnread = true;
    EXPECT_EQ(nextTickMs(tick, kDesignedMs), kDesignedMs);
}

// --- PacedTimer ---

class PacedTimerTest : public ::testing::Test {
protected:
    PacedTimer timer;
    int ticks = 0;

    void SetUp() override
    {
        timer.setInterval(kDesignedMs);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &PacedTimer::ticked, [this] { ++ticks; });
    }
};

TEST_F(PacedTimerTest, PacingMovesTheTicksNotTheIntervalOrTheEnabledState)
{
    EXPECT_EQ(timer.cadence(), -1);
    timer.setCadence(50);   // a stopped timer stays stopped
    EXPECT_FALSE(timer.isActive());
    EXPECT_EQ(timer.cadence(), -1);

    timer.start();
    EXPECT_EQ(timer.cadence(), kDesignedMs);
    timer.setCadence(kLongCadenceMs);
    EXPECT_EQ(timer.cadence(), kLongCadenceMs);
    EXPECT_TRUE(timer.isActive());
    EXPECT_EQ(timer.interval(), kDesignedMs);
    EXPECT_EQ(timer.timerType(), Qt::PreciseTimer);

    // A timer is never early: nothing within a fraction of its cadence.
    QTest::qWait(100);
    EXPECT_EQ(ticks, 0);

    timer.setCadence(kAtOnceMs);
    EXPECT_TRUE(QTest::qWaitFor([this] { return ticks > 0; }, 5000));
}

TEST_F(PacedTimerTest, StartingAgainReturnsToTheDesignedInterval)
{
    timer.start();
    timer.setCadence(kLongCadenceMs);
    timer.stop();
    EXPECT_EQ(timer.cadence(), -1);
    timer.start();
    EXPECT_EQ(timer.cadence(), kDesignedMs);

    timer.setCadence(kLongCadenceMs);
    timer.start();   // restarting a running timer counts as well
    EXPECT_EQ(timer.cadence(), kDesignedMs);
    EXPECT_TRUE(QTest::qWaitFor([this] { return ticks >= 3; }, 5000));
}

TEST_F(PacedTimerTest, AtOnceATurnOfTheEventLoopBringsTwoTicksEachWhileStillAtOnce)
{
    timer.start();
    timer.setCadence(kLongCadenceMs);   // no timeout of its own during the test
    timer.setCadence(kAtOnceMs);
    QCoreApplication::sendPostedEvents();   // one turn: what was posted before it
    EXPECT_EQ(ticks, PacedTimer::kAtOnceTicksPerTurn);

    // A tick that paces the timer off at once is its turn's last, and the last at once.
    ticks = 0;
    QObject::connect(&timer, &PacedTimer::ticked, [this] { timer.setCadence(kLongCadenceMs); });
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
    QCoreApplication::sendPostedEvents();
    EXPECT_EQ(ticks, 1);
}

TEST_F(PacedTimerTest, StopWorksOnAPacedTimer)
{
    timer.start();
    timer.setCadence(kAtOnceMs);
    timer.stop();
    EXPECT_FALSE(timer.isActive());
    QTest::qWait(30);
    EXPECT_EQ(ticks, 0);
}

} // namespace
