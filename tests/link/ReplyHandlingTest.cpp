#include "link/ReplyHandling.h"
#include "tests/support/FakeCommPort.h"
#include "tests/support/WireFrames.h"

#include <gtest/gtest.h>

namespace {

class ReplyHandling : public ::testing::Test {
protected:
    CameraSession session;
    FakeCommPort port;

    void SetUp() override { port.isOpen = true; }
    void receive(const QByteArray &bytes)
    {
        port.pendingReads.append(bytes);
        ReadBuffer(session, port);
    }
};

TEST_F(ReplyHandling, EmptyReadOnEmptyBufferChangesNothing)
{
    receive({});
    EXPECT_FALSE(session.AckReceived);
    EXPECT_TRUE(session.ReplyBuffer.isEmpty());
    EXPECT_TRUE(session.CameraVersion.isEmpty());
}

TEST_F(ReplyHandling, BothTokensAcknowledgeExactly)
{
    receive(framed("lvr"));
    EXPECT_TRUE(session.AckReceived);
    session.AckReceived = false;
    receive(framed("lira"));
    EXPECT_TRUE(session.AckReceived);
    EXPECT_TRUE(session.ReplyBuffer.isEmpty());
}

TEST_F(ReplyHandling, NearMissesDoNotAcknowledge)
{
    for (const QByteArray &reply : {framed("LVR"), QByteArray("x") + framed("lvr"), framed("lvr "), framed("lv"),
                                    QByteArray("lvr") + EOT, framed("liraa")}) {
        session.AckReceived = false;
        receive(reply);
        EXPECT_FALSE(session.AckReceived) << reply.toHex().constData();
        EXPECT_TRUE(session.ReplyBuffer.isEmpty());
    }
}

TEST_F(ReplyHandling, SplitAcknowledgementIsRecognisedOnTheSecondRead)
{
    receive(STX + "lv");
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.ReplyBuffer, STX + "lv");
    receive(QByteArray("r") + EOT);
    EXPECT_TRUE(session.AckReceived);
    EXPECT_TRUE(session.ReplyBuffer.isEmpty());
}

TEST_F(ReplyHandling, ReplyWithoutEotStaysInTheBuffer)
{
    receive(STX + "lvr");
    receive({});
    receive({});
    EXPECT_FALSE(session.AckReceived);
    EXPECT_EQ(session.ReplyBuffer, STX + "lvr");
}

TEST_F(ReplyHandling, ReportThenAcknowledgementInOneRead)
{
    session.WantVersion = true;
    receive(framed("PTZ BOOT 1.0 CBOX 3.46") + framed("lvr"));
    EXPECT_EQ(session.CameraVersion, "3.46");
    EXPECT_TRUE(session.AckReceived);
    EXPECT_FALSE(session.WantVersion);
    EXPECT_TRUE(session.ReplyBuffer.isEmpty());
}

TEST_F(ReplyHandling, AcknowledgementBeforeTheReportIsParsedAsTheReport)
{
    session.WantVersion = true;
    receive(framed("lvr") + framed("BOOT CBOX 3.46"));
    EXPECT_TRUE(session.AckReceived);
    EXPECT_EQ(session.CameraVersion, "unk");
    EXPECT_FALSE(session.WantVersion);
}

TEST_F(ReplyHandling, FragmentBeforeAReplyBecomesPartOfIt)
{
    receive(QByteArray("noise"));
    receive(framed("lvr"));
    EXPECT_FALSE(session.AckReceived);
    EXPECT_TRUE(session.ReplyBuffer.isEmpty());
}

TEST_F(ReplyHandling, FailingReadKeepsTheBuffer)
{
    receive(STX + "li");
    port.failRead = true;
    EXPECT_THROW(ReadBuffer(session, port), RuntimeError);
    EXPECT_EQ(session.ReplyBuffer, STX + "li");
}

struct VersionCase {
    const char *reply;
    const char *version;
};

class VersionReport : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionReport, TakesTheTextAfterTheFirstCbox)
{
    CameraSession session;
    pvr(session, framed(GetParam().reply));
    EXPECT_EQ(session.CameraVersion, QByteArray(GetParam().version)) << GetParam().reply;
}

INSTANTIATE_TEST_SUITE_P(
    Rules, VersionReport,
    ::testing::Values(VersionCase{"BOOT 2.1 CBOX 3.46", "3.46"},
                      VersionCase{"boot 2.1 cbox 3.46", "3.46"},
                      VersionCase{"BOOT CBOX ", ""},
                      VersionCase{"BOOT CBOX 3.46 ", "3.46 "},
                      VersionCase{"CBOX 3.45 BOOT", "3.45 BOOT"},
                      VersionCase{"BOOT CBOX 1 CBOX 2", "1 CBOX 2"},
                      VersionCase{"CBOX 3.46", "unk"},
                      VersionCase{"BOOT CBOX3.46", "unk"},
                      VersionCase{"lvr", "unk"},
                      VersionCase{"", "unk"}));

TEST(VersionReportBytes, MarkerReachingTheLastCharacterIsNoVersion)
{
    CameraSession session;
    pvr(session, QByteArray("BOOT CBOX "));   // no EOT: the final blank is taken for it
    EXPECT_EQ(session.CameraVersion, "unk");
}

TEST(VersionReportBytes, HighBytesStayAsTheyCame)
{
    CameraSession session;
    pvr(session, QByteArray("\x02" "BOOT CBOX 3.4\xE9" "\x04"));
    EXPECT_EQ(session.CameraVersion, QByteArray("3.4\xE9"));
}

} // namespace
