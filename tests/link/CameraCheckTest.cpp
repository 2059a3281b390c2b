#include "link/CameraCheck.h"
#include "link/RuntimeError.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeCommPort.h"
#include "tests/support/FakeSurface.h"
#include "tests/support/WireFrames.h"

#include <gtest/gtest.h>

namespace {


// The four check commands exactly as they must go on the wire, in order.
const QByteArray kQGt = QByteArray::fromHex("0251477404");
const QByteArray kCkkV = QByteArray::fromHex("02636b6b5604");
const QByteArray kCki0n = QByteArray::fromHex("02636b69306e04");
const QByteArray kCkb0 = QByteArray::fromHex("02636b623004");
const QList<QByteArray> kCheckFrames{kQGt, kCkkV, kCki0n, kCkb0};

constexpr qint32 kVersionWaitState = 8;
constexpr qint32 kJudgeState = 9;
constexpr int kTickGuard = 1000;   // no check needs more ticks than this in a test

bool isWaitState(qint32 state) { return state == 2 || state == 4 || state == 6 || state == 8; }

class CameraCheckTest : public ::testing::Test {
protected:
    CameraSession session;
    FakeCommPort port;
    FakeClock clock;
    FakeSurface window;
    CameraCheck check{session, port, clock, window};

    void SetUp() override { session.resetForDownload(); }   // as the window's load leaves it

    void reply(const QByteArray &bytes) { port.pendingReads.append(bytes); }

    // Ticks on, acknowledging every command at its first poll, until CamState is `state`.
    void advanceTo(qint32 state)
    {
        for (int tick = 0; session.CamState != state; ++tick) {
            ASSERT_LT(tick, kTickGuard) << "never reached state " << state;
            ASSERT_TRUE(window.landings.isEmpty()) << "landed before state " << state;
            if (isWaitState(session.CamState))
                reply(kAck);
            check.tick();
        }
    }

    // Runs a whole check whose version request is answered with `versionReply`.
    void runWithVersionReply(const QByteArray &versionReply)
    {
        advanceTo(kVersionWaitState);
        reply(versionReply);
        check.tick();
        if (session.CamState == kJudgeState)
            check.tick();
    }
};

// --- outcomes -------------------------------------------------------------------

struct OutcomeCase {
    const char *name;
    QByteArray versionReply;   // what the camera sends after "ckb0", in one read
    Landing landing;
};

class CheckOutcome : public CameraCheckTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(CheckOutcome, PromptCameraLandsAfterTenTicksWithThePortOpen)
{
    runWithVersionReply(GetParam().versionReply);

    EXPECT_EQ(window.landings, QList<Landing>{GetParam().landing});
    EXPECT_EQ(window.throbOns, 10);         // one tick per state, the animation asked for on each
    EXPECT_EQ(session.CamState, 0);
    EXPECT_EQ(port.writes, kCheckFrames);   // one whole frame per write, in order
    EXPECT_TRUE(port.isOpen);               // left open for the download
    EXPECT_EQ(port.opens, 1);
    EXPECT_EQ(port.closes, 0);
    EXPECT_FALSE(session.WantVersion);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, CheckOutcome,
    ::testing::Values(
        OutcomeCase{"Reference", framed("PTZ2 BOOT 1.02 CBOX 3.46") + kAck, Landing::NoFlashNeeded},
        OutcomeCase{"ReferenceLowerCaseMarkers", framed("boot 1.02 cbox 3.46") + kAck, Landing::NoFlashNeeded},
        OutcomeCase{"LiraAcknowledges", framed("BOOT CBOX 3.46") + framed("lira"), Landing::NoFlashNeeded},
        OutcomeCase{"OlderVersion", framed("BOOT CBOX 3.45") + kAck, Landing::NeedsFlashing},
        OutcomeCase{"ReferenceWithTrailingBlank", framed("BOOT CBOX 3.46 ") + kAck, Landing::NeedsFlashing},
        OutcomeCase{"EmptyVersion", framed("BOOT CBOX ") + kAck, Landing::NotPtz2},
        OutcomeCase{"NoBootMarker", framed("CBOX 3.46") + kAck, Landing::NotPtz2},
        OutcomeCase{"AcknowledgementBeforeReport", kAck + framed("BOOT CBOX 3.46"), Landing::NotPtz2}),
    [](const ::testing::TestParamInfo<OutcomeCase> &info) { return std::string(info.param.name); });

TEST_F(CameraCheckTest, AcknowledgementAloneIsParsedAsTheReport)
{
    runWithVersionReply(kAck);
    EXPECT_EQ(session.CameraVersion, "unk");
    EXPECT_EQ(window.landings, QList<Landing>{Landing::NotPtz2});
}

TEST_F(CameraCheckTest, ReportSplitAcrossPollsIsJudgedWhenComplete)
{
    advanceTo(kVersionWaitState);
    reply(STX + "BOOT 1.0 CB");
    check.tick();
    EXPECT_EQ(session.CamState, kVersionWaitState);
    reply(QByteArray("OX 3.46") + EOT + STX + "lv");
    check.tick();
    EXPECT_EQ(session.CameraVersion, "3.46");
    EXPECT_EQ(session.CamState, kVersionWaitState);   // the acknowledgement is not complete yet
    reply(QByteArray("r") + EOT);
    check.tick();
    check.tick();
    EXPECT_EQ(window.landings, QList<Landing>{Landing::NoFlashNeeded});
}

TEST_F(CameraCheckTest, ReportWithoutAcknowledgementIsNoResponse)
{
    advanceTo(kVersionWaitState);
    reply(framed("BOOT CBOX 3.46"));
    check.tick();
    EXPECT_EQ(session.CameraVersion, "3.46");
    clock.advance(4);
    check.tick();
    EXPECT_EQ(window.landings, QList<Landing>{Landing::NoResponse});   // judged only after an acknowledgement
    EXPECT_EQ(session.CamState, 0);
}

// --- the opening tick -----------------------------------------------------------

TEST_F(CameraCheckTest, OpeningTickSendsNothingAndStampsNothing)
{
    window.portEntry = QStringLiteral(" 7");
    check.tick();

    EXPECT_TRUE(port.writes.isEmpty());
    EXPECT_TRUE(port.isOpen);
    EXPECT_EQ(port.number, 7);
    EXPECT_EQ(session.CamState, 1);
    EXPECT_EQ(session.CamSentAt, 0);
    EXPECT_EQ(session.CamPolledAt, 0);
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_EQ(window.throbOns, 1);
}

TEST_F(CameraCheckTest, EveryListEntryOpensItsPort)
{
    for (qint16 n = 1; n <= 16; ++n) {
        port.isOpen = false;
        session.CamState = 0;
        window.portEntry = QStringLiteral("  %1").arg(n).right(2);   // as the list shows it
        check.tick();
        EXPECT_EQ(port.number, n);
        EXPECT_TRUE(port.isOpen);
    }
    EXPECT_TRUE(window.landings.isEmpty());
}

class BadPortEntry : public CameraCheckTest, public ::testing::WithParamInterface<const char *> {};

TEST_P(BadPortEntry, IsAFailureOfTheCheckBeforeAnythingIsTouched)
{
    window.portEntry = QString::fromUtf8(GetParam());
    port.isOpen = true;   // a port left open by an earlier run stays as it was
    port.number = 3;
    check.tick();

    EXPECT_EQ(window.landings, QList<Landing>{Landing::CheckFailed});
    EXPECT_EQ(session.CamState, 0);
    EXPECT_EQ(port.closes, 0);
    EXPECT_EQ(port.number, 3);
    EXPECT_EQ(port.opens, 0);
    EXPECT_TRUE(port.writes.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Entries, BadPortEntry,
                         ::testing::Values("", "  ", "abc", "0", "17", "-1", "99999", "1x", "1.5", "0x10"));

TEST_F(CameraCheckTest, PortLeftOpenIsClosedAndReopenedOnTheNewNumber)
{
    runWithVersionReply(framed("BOOT CBOX 3.45") + kAck);
    ASSERT_EQ(window.landings, QList<Landing>{Landing::NeedsFlashing});

    window.portEntry = QStringLiteral("12");
    check.tick();

    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(port.opens, 2);
    EXPECT_EQ(port.number, 12);
    EXPECT_TRUE(port.isOpen);
    EXPECT_EQ(port.writes.size(), kCheckFrames.size());   // nothing sent on the opening tick
    EXPECT_EQ(session.CamState, 1);
}

TEST_F(CameraCheckTest, PortThatCannotBeOpenedLandsOnPortInUse)
{
    runWithVersionReply(framed("BOOT CBOX 3.46") + kAck);   // an earlier run left port 1 open
    window.landings.clear();
    port.failOpen = true;
    window.portEntry = QStringLiteral(" 2");
    check.tick();

    EXPECT_EQ(window.landings, QList<Landing>{Landing::PortInUse});
    EXPECT_EQ(session.CamState, 0);
    EXPECT_FALSE(port.isOpen);   // the old port was closed first and nothing is open now
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(port.writes.size(), kCheckFrames.size());
    EXPECT_EQ(window.portFailures, QStringList{QStringLiteral("Port already open")});   // the cause goes on to the user
}

// A port whose close or select fails, for the steps before the open.
class BrittlePort : public FakeCommPort {
public:
    bool failClose = false;
    bool failSelect = false;
    void close() override
    {
        if (failClose)
            throw RuntimeError(CommError::PortNotOpen, QStringLiteral("close failed"));
        FakeCommPort::close();
    }
    void setCommPort(qint16 n) override
    {
        if (failSelect)
            throw RuntimeError(CommError::InvalidPort, QStringLiteral("select failed"));
        FakeCommPort::setCommPort(n);
    }
};

TEST(CameraCheckBeforeTheOpen, FailingCloseOrSelectIsAFailureOfTheCheck)
{
    for (const bool closeFails : {true, false}) {
        CameraSession session;
        BrittlePort port;
        FakeClock clock;
        FakeSurface window;
        CameraCheck check{session, port, clock, window};
        port.isOpen = true;
        port.failClose = closeFails;
        port.failSelect = !closeFails;
        check.tick();

        EXPECT_EQ(window.landings, QList<Landing>{Landing::CheckFailed}) << "close fails: " << closeFails;
        EXPECT_TRUE(window.portFailures.isEmpty());   // no port was tried, so there is no port-in-use cause
        EXPECT_EQ(session.CamState, 0);
        EXPECT_EQ(port.opens, 0);
    }
}

// --- waits and their limits -----------------------------------------------------

struct WaitCase {
    const char *name;
    qint32 state;
    qint64 limit;
    bool tolerant;
    QByteArray nextFrame;   // what follows once a tolerant wait goes on
};

class CheckWait : public CameraCheckTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(CheckWait, LimitItselfKeepsWaitingAndOneSecondMorePassesIt)
{
    const WaitCase &wait = GetParam();
    advanceTo(wait.state);
    const Stamp sentAt = session.CamSentAt;
    ASSERT_EQ(sentAt, clock.seconds);

    clock.advance(wait.limit);
    check.tick();
    EXPECT_EQ(session.CamState, wait.state);
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.CamPolledAt, sentAt + wait.limit);
    EXPECT_TRUE(window.landings.isEmpty());

    clock.advance(1);
    check.tick();
    if (wait.tolerant) {
        EXPECT_TRUE(window.landings.isEmpty());   // no message, the check goes on
        EXPECT_TRUE(session.AckReceived);
        EXPECT_EQ(session.CamState, wait.state);  // moves on at the next poll
        check.tick();
        EXPECT_EQ(session.CamState, wait.state + 1);
        check.tick();
        EXPECT_EQ(port.writes.last(), wait.nextFrame);
        EXPECT_TRUE(window.landings.isEmpty());
    } else {
        EXPECT_EQ(window.landings, QList<Landing>{Landing::NoResponse});
        EXPECT_EQ(session.CamState, 0);
        EXPECT_TRUE(port.isOpen);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Limits, CheckWait,
    ::testing::Values(WaitCase{"AfterQGt", 2, 2, true, kCkkV}, WaitCase{"AfterCkkV", 4, 1, true, kCki0n},
                      WaitCase{"AfterCki0n", 6, 3, false, {}}, WaitCase{"AfterCkb0", 8, 3, false, {}}),
    [](const ::testing::TestParamInfo<WaitCase> &info) { return std::string(info.param.name); });

TEST_F(CameraCheckTest, SilenceAfterTheFirstTwoCommandsDelaysButDoesNotStopTheCheck)
{
    advanceTo(2);
    while (session.CamState != 5) {   // no reply at all to "QGt" and "ckkV"
        clock.advance(1);
        check.tick();
        ASSERT_TRUE(window.landings.isEmpty());
    }
    advanceTo(kVersionWaitState);
    reply(framed("BOOT CBOX 3.46") + kAck);
    check.tick();
    check.tick();

    EXPECT_EQ(port.writes, kCheckFrames);   // "cki0n" still went out
    EXPECT_EQ(window.landings, QList<Landing>{Landing::NoFlashNeeded});
}

TEST_F(CameraCheckTest, UnansweredVersionRequestIsCarriedIntoTheNextRun)
{
    advanceTo(kVersionWaitState);
    clock.advance(4);
    check.tick();
    ASSERT_EQ(window.landings, QList<Landing>{Landing::NoResponse});
    EXPECT_TRUE(session.WantVersion);

    // Back, then Next: the acknowledgement of the new run's "QGt" is taken as the report.
    window.landings.clear();
    check.tick();   // reopens
    check.tick();   // "QGt"
    reply(kAck);
    check.tick();
    EXPECT_EQ(session.CamState, 3);
    EXPECT_FALSE(session.WantVersion);
    EXPECT_EQ(session.CameraVersion, "unk");

    runWithVersionReply(framed("BOOT CBOX 3.46") + kAck);   // the new run's own request counts
    EXPECT_EQ(window.landings, QList<Landing>{Landing::NoFlashNeeded});
    EXPECT_EQ(port.closes, 1);
    EXPECT_EQ(port.opens, 2);
}

TEST_F(CameraCheckTest, SendStampsAfterWritingAndWaitStampsEachPoll)
{
    advanceTo(1);
    clock.advance(5);
    check.tick();
    EXPECT_EQ(session.CamSentAt, clock.seconds);
    EXPECT_FALSE(session.AckReceived);
    clock.advance(1);
    check.tick();
    EXPECT_EQ(session.CamPolledAt, clock.seconds);
}

// --- failures during the check --------------------------------------------------

class FailureMidCheck : public CameraCheckTest, public ::testing::WithParamInterface<qint32> {};

TEST_P(FailureMidCheck, LandsOnPortInUseAndEndsTheRun)
{
    const qint32 state = GetParam();
    advanceTo(state);
    if (isWaitState(state))
        port.failRead = true;
    else
        port.failWrite = true;
    check.tick();

    EXPECT_EQ(window.landings, QList<Landing>{Landing::PortInUse});
    EXPECT_EQ(session.CamState, 0);
    ASSERT_EQ(window.portFailures.size(), 1);
    EXPECT_TRUE(window.portFailures[0].startsWith(isWaitState(state) ? "Error reading" : "Error writing"));
}

INSTANTIATE_TEST_SUITE_P(States, FailureMidCheck, ::testing::Values(1, 2, 3, 4, 5, 6, 7, 8));

class FailingAnimation : public FakeSurface {
public:
    void throbOn() override { throw RuntimeError(480, QStringLiteral("Can't create AutoRedraw image")); }
};

TEST(CameraCheckAnimation, FailureToStartTheAnimationKeepsTheState)
{
    CameraSession session;
    FakeCommPort port;
    FakeClock clock;
    FailingAnimation window;
    CameraCheck check{session, port, clock, window};
    port.isOpen = true;
    session.CamState = 4;
    port.pendingReads.append(kAck);
    check.tick();

    EXPECT_EQ(window.landings, QList<Landing>{Landing::CheckFailed});
    EXPECT_TRUE(window.portFailures.isEmpty());
    EXPECT_EQ(session.CamState, 4);
    EXPECT_EQ(port.pendingReads.size(), 1);   // the step itself never ran
}

TEST_F(CameraCheckTest, StateOutsideTheTableDoesNothing)
{
    for (const qint32 state : {10, -1}) {
        session.CamState = state;
        check.tick();
        EXPECT_EQ(session.CamState, state);
    }
    EXPECT_TRUE(port.writes.isEmpty());
    EXPECT_EQ(port.opens, 0);
    EXPECT_TRUE(window.landings.isEmpty());
    EXPECT_EQ(window.throbOns, 2);
}

} // namespace
