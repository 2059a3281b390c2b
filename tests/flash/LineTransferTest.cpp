#include "flash/LineTransfer.h"
#include "tests/flash/SequenceDoubles.h"
#include "tests/support/FakeClock.h"

#include <gtest/gtest.h>

using namespace flashtest;

namespace {

const QByteArray kHead = QByteArray::fromHex("02636b77");

// Wire-form lines with the awkward bytes: escape pairs, NUL and bytes above 0x7F.
const LineRecords kAwkwardLines{
    QByteArray::fromHex("7f7f7f8200ff"),
    QByteArray::fromHex("00000080fe7f7f"),
    QByteArray::fromHex("3a10ab7f81c3"),
    QByteArray::fromHex("f2f2f27f7f00"),
};

class LineTransferTest : public ::testing::Test {
protected:
    CameraSession session;
    FakeCommPort port;
    OrderedSurface window;
    FakeClock clock;
    LineRecords lines = kAwkwardLines;
    LineTransfer transfer{session, port, clock, lines, window};

    qint32 upper() const { return qint32(lines.size()) - 1; }

    void SetUp() override
    {
        port.isOpen = true;
        session.resetForDownload();   // as the start's hand-over leaves it: next tick sends line 0
    }
    void acknowledgeAndPoll()
    {
        port.pendingReads.append(kAck);
        transfer.tick();
    }
};

TEST_F(LineTransferTest, FirstTickSendsLineZeroAtOnceAsThreeWrites)
{
    transfer.tick();

    ASSERT_EQ(port.writes.size(), 3);
    EXPECT_EQ(port.writes.at(0), kHead);
    EXPECT_EQ(port.writes.at(1), lines.at(0));
    EXPECT_EQ(port.writes.at(1).size(), 6);   // the NUL and everything after it went out
    EXPECT_EQ(port.writes.at(2), EOT);
    EXPECT_EQ(window.calls, QStringList{QStringLiteral("progress 0/%1").arg(upper())});
    EXPECT_EQ(session.LineIndex, 0);
    EXPECT_FALSE(session.AckReceived);
}

TEST_F(LineTransferTest, WithoutAcknowledgementItOnlyPolls)
{
    transfer.tick();
    window.calls.clear();
    port.pendingReads = {framed("LVR"), QByteArray("x") + kAck, framed("lvr "), STX + "lvr"};
    for (int i = 0; i < 50; ++i)
        transfer.tick();

    EXPECT_EQ(port.writes.size(), 3);
    EXPECT_TRUE(window.calls.isEmpty());
    EXPECT_EQ(session.LineIndex, 0);
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.ReplyBuffer, STX + "lvr");   // the unfinished reply waits for its EOT

    // Its EOT completes it and releases the next line on the tick after.
    port.pendingReads.append(EOT);
    transfer.tick();
    EXPECT_EQ(port.writes.size(), 3);
    transfer.tick();
    EXPECT_EQ(port.writes.size(), 6);
    EXPECT_EQ(port.writes.at(4), lines.at(1));
}

TEST_F(LineTransferTest, LastLineShowsFullProgressAndTheNextAckHandsOver)
{
    for (qint32 k = 0; k <= upper(); ++k) {
        transfer.tick();
        ASSERT_EQ(window.progressLine, k);
        ASSERT_EQ(window.progressUpper, upper());
        acknowledgeAndPoll();
    }
    EXPECT_EQ(window.calls.last(), QStringLiteral("progress %1/%1").arg(upper()));
    const qsizetype sent = port.writes.size();
    window.calls.clear();

    transfer.tick();

    EXPECT_EQ(session.LineIndex, upper() + 1);
    EXPECT_EQ(port.writes.size(), sent);
    EXPECT_EQ(window.calls, (QStringList{timerCall(SequenceTimer::LineTransfer, false),
                                         timerCall(SequenceTimer::Finish, true)}));
}

TEST_F(LineTransferTest, DuplicateAcknowledgementReleasesOneMoreLine)
{
    transfer.tick();                       // line 0
    port.pendingReads.append(kAck);
    transfer.tick();                       // its acknowledgement
    transfer.tick();                       // line 1
    port.pendingReads.append(kAck);        // line 0 acknowledged again
    transfer.tick();
    transfer.tick();                       // line 2 goes without line 1's own acknowledgement
    for (int i = 0; i < 10; ++i)
        transfer.tick();                   // and nothing more

    EXPECT_EQ(port.writes.size(), 9);
    EXPECT_EQ(port.writes.at(7), lines.at(2));
    EXPECT_EQ(session.LineIndex, 2);
}

TEST_F(LineTransferTest, FullRunWithACameraThatAcknowledgesEveryLine)
{
    PromptCamera camera;
    LineTransfer run{session, camera, clock, lines, window};

    int ticks = 0;
    while (!window.timerOn(SequenceTimer::Finish) && ticks < 100) {
        run.tick();
        ++ticks;
    }

    QByteArray expected;
    QStringList progress;
    for (qint32 k = 0; k <= upper(); ++k) {
        expected += kHead + lines.at(k) + EOT;
        progress << QStringLiteral("progress %1/%2").arg(k).arg(upper());
    }
    EXPECT_EQ(camera.wire(), expected);
    EXPECT_EQ(camera.writes.size(), 3 * lines.size());
    progress << timerCall(SequenceTimer::LineTransfer, false) << timerCall(SequenceTimer::Finish, true);
    EXPECT_EQ(window.calls, progress);
    EXPECT_EQ(ticks, 2 * lines.size() + 1);   // each line a send tick and a poll tick
    EXPECT_EQ(session.LineIndex, upper() + 1);
}

TEST_F(LineTransferTest, WriteFailurePropagatesAndLeavesTheLineUnsent)
{
    transfer.tick();
    acknowledgeAndPoll();
    port.failWrite = true;

    EXPECT_THROW(transfer.tick(), RuntimeError);
    EXPECT_EQ(session.LineIndex, 0);
    EXPECT_TRUE(session.AckReceived);
    EXPECT_EQ(port.writes.size(), 3);
}

TEST_F(LineTransferTest, ReadFailurePropagates)
{
    transfer.tick();
    port.failRead = true;
    EXPECT_THROW(transfer.tick(), RuntimeError);
    EXPECT_FALSE(session.AckReceived);
}

TEST_F(LineTransferTest, EmptyImageFinishesWithoutSending)
{
    lines.clear();
    transfer.tick();

    EXPECT_TRUE(port.writes.isEmpty());
    EXPECT_EQ(window.progressCalls, 0);
    EXPECT_TRUE(window.timerOn(SequenceTimer::Finish));
    EXPECT_FALSE(window.timerOn(SequenceTimer::LineTransfer));
}

TEST_F(LineTransferTest, OneLineImageShowsCompleteWithoutDividingByZero)
{
    lines = {QByteArray::fromHex("7f7f00")};
    transfer.tick();
    EXPECT_EQ(port.wire(), kHead + lines.at(0) + EOT);
    EXPECT_EQ(window.progressLine, window.progressUpper);
    EXPECT_GE(window.progressUpper, 1);

    acknowledgeAndPoll();
    transfer.tick();
    EXPECT_TRUE(window.timerOn(SequenceTimer::Finish));
    EXPECT_EQ(port.writes.size(), 3);
}

} // namespace

TEST_F(LineTransferTest, SlowAcknowledgementsAreWaitedFor)
{
    transfer.tick();
    clock.advance(LineTransfer::kStallLimitSeconds);   // exactly the limit: still waiting
    transfer.tick();
    EXPECT_TRUE(window.landings.isEmpty());
    acknowledgeAndPoll();
    transfer.tick();
    EXPECT_EQ(session.LineIndex, 1);
    // The limit runs from each line's own send, not from the start of the transfer.
    clock.advance(LineTransfer::kStallLimitSeconds);
    transfer.tick();
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_EQ(port.writes.size(), 6);
}

TEST_F(LineTransferTest, AStalledLineEndsOnThePowerCyclePage)
{
    transfer.tick();
    transfer.tick();
    clock.advance(LineTransfer::kStallLimitSeconds + 1);
    window.calls.clear();
    transfer.tick();
    EXPECT_EQ(window.calls, (QStringList{timerCall(SequenceTimer::LineTransfer, false),
                                         QStringLiteral("land %1").arg(int(Landing::PowerCycle))}));
    EXPECT_EQ(port.writes.size(), 3);   // nothing resent
    EXPECT_EQ(session.LineIndex, 0);
}

TEST_F(LineTransferTest, AnAcknowledgementInTheLastPollBeatsTheStallLimit)
{
    transfer.tick();
    clock.advance(LineTransfer::kStallLimitSeconds + 5);
    acknowledgeAndPoll();
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_TRUE(session.AckReceived);
}
