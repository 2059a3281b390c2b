// The simulated camera's behaviour without a pseudo-terminal: framing and pacing
// arithmetic at exact times, the camera's answers, the image verdict, the options.

#include "CameraModel.h"
#include "ExpectedImage.h"
#include "ImageVerdict.h"
#include "InboundWire.h"
#include "LineTimingLog.h"
#include "OutboundWire.h"
#include "RunReport.h"
#include "SimOptionsParser.h"
#include "WireJudge.h"
#include "flash/LineCodec.h"

#include <QFile>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

constexpr Nanos kByte = 1000;   // a made-up byte time that keeps the sums readable

const QByteArray kLvr("\x02lvr\x04");
const QByteArray kLira("\x02lira\x04");
const QByteArray kNoise("\x02xyz\x04");

QByteArray imageLine(int seed)
{
    QByteArray line;
    for (int i = 0; i < LineCodec::kImageBytes; ++i)
        line.append(static_cast<char>((seed * 37 + i * 11) & 0xFF));
    return line;
}

QByteArray lineCommand(const QByteArray &imageBytes)
{
    return QByteArray("ckw") + LineCodec::encodeLine(imageBytes);
}

QList<QByteArray> replyBytes(const CameraAnswer &answer)
{
    QList<QByteArray> bytes;
    for (const CameraReply &reply : answer.replies)
        bytes.append(reply.bytes);
    return bytes;
}

QByteArray report(const char *version)
{
    return QByteArray("\x02PTZ2 BOOT 1.07 CBOX ") + version + '\x04';
}

// Feeds one frame taken in at `at`.
CameraAnswer take(CameraModel &camera, const QByteArray &command, Nanos at = 0)
{
    return camera.take(InboundFrame{command, 0, at, at});
}

CameraModel downloadingCamera(const SimOptions &options)
{
    CameraModel camera(options);
    take(camera, "ckl0");
    return camera;
}

} // namespace

// --- Framing and pacing ----------------------------------------------------------

TEST(InboundWireTest, FramesAreCutAtEotAndNoiseOutsideFramesIsDropped)
{
    InboundWire wire(0);
    wire.receive(QByteArray("xy\x02QGt\x04zz\x02" "ck\x02" "ckkV\x04\x02" "cki", 22), 5);
    const auto frames = wire.takeDueFrames(5);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].command, "QGt");
    EXPECT_EQ(frames[1].command, "ckkV");   // a second STX starts the frame over
    EXPECT_EQ(wire.noiseBytes(), 2 + 2 + 3);
    wire.receive("0n\x04", 9);
    const auto rest = wire.takeDueFrames(9);
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0].command, "cki0n");    // split across reads
    EXPECT_EQ(rest[0].firstByteReadAt, 5);
}

TEST(InboundWireTest, BytesOutsideFramesAreReportedWhereTheyCame)
{
    InboundWire wire(0);
    // offsets:     0 1 2   3 4 5 6 7   8  9 10  11 12 13 14 15 16 17
    wire.receive(QByteArray("ab\x02QGt\x04" "c\x02" "ck\x02" "ckkV\x04\x04", 18), 7);
    wire.receive("d", 9);   // a later read, but the same run of stray bytes
    const std::vector<LooseBytes> loose = wire.takeLooseBytes();
    ASSERT_EQ(loose.size(), 4u);
    EXPECT_EQ(loose[0].kind, LooseBytes::Kind::Stray);
    EXPECT_EQ(loose[0].offset, 0);
    EXPECT_EQ(loose[0].count, 2);                  // "ab" as one run
    EXPECT_EQ(loose[1].offset, 7);                 // "c"
    EXPECT_EQ(loose[2].kind, LooseBytes::Kind::Abandoned);
    EXPECT_EQ(loose[2].offset, 11);                // the second STX
    EXPECT_EQ(loose[2].count, 3);                  // STX "ck" given up
    EXPECT_EQ(loose[3].offset, 17);                // the doubled EOT, then "d"
    EXPECT_EQ(loose[3].count, 2);
    EXPECT_EQ(loose[3].readAt, 7);
    EXPECT_TRUE(wire.takeLooseBytes().empty());

    const auto frames = wire.takeDueFrames(9);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].offset, 2);
    EXPECT_EQ(frames[1].offset, 11);
}

TEST(InboundWireTest, EscapedDelimitersInsideALineAreData)
{
    InboundWire wire(0);
    const QByteArray body("ckw\x7F\x02\x7F\x04\x7F\x7F" "a", 10);
    wire.receive('\x02' + body + '\x04' + "\x7F\x02QGt\x04", 1);
    const auto frames = wire.takeDueFrames(1);
    ASSERT_EQ(frames.size(), 2u);
    EXPECT_EQ(frames[0].command, body);
    EXPECT_EQ(frames[1].command, "QGt");   // outside a frame 0x7F is only noise
}

TEST(InboundWireTest, AFrameIsTakenInWhenALineWouldHaveDeliveredItsLastByte)
{
    InboundWire wire(kByte);
    wire.receive("\x02QG", 100);            // completes at 100 + 3 bytes
    wire.receive("t\x04", 100 + kByte);     // queued behind the first three
    EXPECT_EQ(wire.nextFrameDue(), 100 + 5 * kByte);
    EXPECT_TRUE(wire.takeDueFrames(100 + 5 * kByte - 1).empty());
    EXPECT_EQ(wire.takeDueFrames(100 + 5 * kByte).size(), 1u);

    // Bytes read after the line went idle start from their own read time.
    wire.receive("\x02QGt\x04", 50 * kByte);
    EXPECT_EQ(wire.nextFrameDue(), 55 * kByte);
}

TEST(OutboundWireTest, RepliesWaitForTheirOwnLineTimeAndForTheLineToBeFree)
{
    OutboundWire wire(kByte, false);
    wire.send({CameraReply{kLvr, ReplyKind::Acknowledgement, 0}}, 0, false);
    wire.send({CameraReply{report("3.45"), ReplyKind::VersionReport, 0},
               CameraReply{kLvr, ReplyKind::Acknowledgement, 7}},
              kByte, true);
    const auto chunks = wire.takeDue(kNever - 1);
    ASSERT_EQ(chunks.size(), 3u);
    EXPECT_EQ(chunks[0].dueAt, 5 * kByte);
    // The second answer was ready at 1 byte time but the line was busy until 5.
    EXPECT_EQ(chunks[1].dueAt, (5 + report("3.45").size()) * kByte);
    EXPECT_EQ(chunks[2].dueAt, chunks[1].dueAt + 5 * kByte);
    EXPECT_EQ(chunks[2].acknowledgedLine, 7);
    EXPECT_FALSE(chunks[1].endsFinish);
    EXPECT_TRUE(chunks[2].endsFinish);
}

TEST(OutboundWireTest, SplitRepliesGoOutOneByteAtATimeWithAGap)
{
    OutboundWire wire(kByte, true);
    wire.send({CameraReply{kLvr, ReplyKind::Acknowledgement, 1}}, 0, false);
    EXPECT_TRUE(wire.takeDue(kByte - 1).empty());
    const auto chunks = wire.takeDue(kNever - 1);
    ASSERT_EQ(chunks.size(), 5u);
    QByteArray joined;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        joined += chunks[i].bytes;
        EXPECT_EQ(chunks[i].dueAt, Nanos(i + 1) * kByte + Nanos(i) * OutboundWire::kSplitGap);
        EXPECT_EQ(chunks[i].endsReply, i == 4);
    }
    EXPECT_EQ(joined, kLvr);
    EXPECT_EQ(chunks[4].acknowledgedLine, 1);
}

TEST(SimTimeTest, ByteTimeIsTenBitsRoundedUp)
{
    EXPECT_EQ(byteTimeAt(0), 0);
    EXPECT_EQ(byteTimeAt(9600), 1041667);   // 10 / 9600 s is 1041666.67 ns
    EXPECT_EQ(byteTimeAt(10), kNanosPerSecond);
}

// --- The camera's answers --------------------------------------------------------

TEST(CameraModelTest, EveryKnownCommandIsAcknowledgedAndUnknownFramesAreNot)
{
    CameraModel camera(SimOptions{});
    for (const char *command : {"QGt", "ckkV", "cki0n", "ckz0m", "cDd0k3", "cDr0k", "ckk", "ckd0\xF2", "ckl0"})
        EXPECT_EQ(replyBytes(take(camera, command)), QList<QByteArray>{kLvr}) << command;
    for (const char *stranger : {"ckd0", "qgt", "ckb", ""}) {
        const CameraAnswer answer = take(camera, stranger);
        EXPECT_TRUE(answer.replies.empty()) << stranger;
        EXPECT_FALSE(answer.note.isEmpty());
    }
    EXPECT_EQ(camera.unknownFrames().size(), 4);
}

TEST(CameraModelTest, VersionRequestDuringTheCheckGetsTheReportInTheChosenOrder)
{
    SimOptions plain;
    CameraModel camera(plain);
    EXPECT_EQ(replyBytes(take(camera, "ckb0")), (QList<QByteArray>{report("3.45"), kLvr}));

    SimOptions ackFirst;
    ackFirst.ackFirst = true;
    ackFirst.version = QStringLiteral("3.46");
    CameraModel ackFirstCamera(ackFirst);
    EXPECT_EQ(replyBytes(take(ackFirstCamera, "ckb0")), (QList<QByteArray>{kLvr, report("3.46")}));

    SimOptions noReport;
    noReport.noReport = true;
    CameraModel silentAboutVersion(noReport);
    EXPECT_EQ(replyBytes(take(silentAboutVersion, "ckb0")), QList<QByteArray>{kLvr});

    // In download mode "ckb0" is a closing-script command like any other.
    CameraModel downloading = downloadingCamera(plain);
    EXPECT_EQ(replyBytes(take(downloading, "ckb0")), QList<QByteArray>{kLvr});
}

TEST(CameraModelTest, AcknowledgementTokensFollowLiraAndAlternate)
{
    SimOptions lira;
    lira.lira = true;
    CameraModel liraCamera(lira);
    EXPECT_EQ(replyBytes(take(liraCamera, "QGt")), QList<QByteArray>{kLira});

    SimOptions alternate;
    alternate.alternateAcks = true;
    CameraModel alternating(alternate);
    QList<QByteArray> tokens;
    for (int i = 0; i < 4; ++i)
        tokens += replyBytes(take(alternating, "QGt"));
    EXPECT_EQ(tokens, (QList<QByteArray>{kLvr, kLira, kLvr, kLira}));
}

TEST(CameraModelTest, NoiseComesAheadOfAcknowledgementsButNeverBeforeAVersionReport)
{
    SimOptions noisy;
    noisy.noise = true;
    CameraModel camera(noisy);
    EXPECT_EQ(replyBytes(take(camera, "cki0n")), (QList<QByteArray>{kNoise, kLvr}));
    // The program parses the first reply after "ckb0" as the version report.
    EXPECT_EQ(replyBytes(take(camera, "ckb0")).first(), report("3.45"));
    SimOptions noisyNoReport = noisy;
    noisyNoReport.noReport = true;
    CameraModel noReport(noisyNoReport);
    EXPECT_EQ(replyBytes(take(noReport, "ckb0")), QList<QByteArray>{kLvr});
}

TEST(CameraModelTest, IgnoredCommandsAndASilentCameraLeaveFramesUnanswered)
{
    SimOptions ignoring;
    ignoring.ignored = {QStringLiteral("cki0n"), QStringLiteral("ckl0")};
    CameraModel camera(ignoring);
    EXPECT_TRUE(take(camera, "cki0n").replies.empty());
    EXPECT_EQ(replyBytes(take(camera, "ckkV")), QList<QByteArray>{kLvr});
    EXPECT_TRUE(take(camera, "ckl0").replies.empty());
    // An unanswered start leaves the camera in its check mode.
    EXPECT_FALSE(camera.inDownloadMode());
    EXPECT_EQ(replyBytes(take(camera, "ckb0")).size(), 2);

    SimOptions silent;
    silent.silent = true;
    CameraModel dead(silent);
    for (const char *command : {"QGt", "ckb0", "ckl0"})
        EXPECT_TRUE(take(dead, command).replies.empty()) << command;
    EXPECT_EQ(dead.commands(), (QStringList{"QGt", "ckb0", "ckl0"}));
}

TEST(CameraModelTest, DelaysMoveTheAnswerAndTheStartDelayOnlyThatOfCkl0)
{
    SimOptions slow;
    slow.ackDelayMs = 20;
    slow.startDelaySeconds = 1.5;
    CameraModel camera(slow);
    EXPECT_EQ(take(camera, "QGt", 1000).readyAt, 1000 + 20 * kNanosPerMilli);
    EXPECT_EQ(take(camera, "ckl0", 1000).readyAt, 1000 + 20 * kNanosPerMilli + 1500 * kNanosPerMilli);
}

TEST(CameraModelTest, JitterDelaysEachAnswerByUpToItsLimitAndTheSeedRepeatsTheDelays)
{
    auto delays = [](int seed) {
        SimOptions jittery;
        jittery.jitterMs = 20;
        jittery.seed = seed;
        CameraModel camera(jittery);
        std::vector<Nanos> made;
        for (int i = 0; i < 50; ++i)
            made.push_back(take(camera, "QGt", 1000).readyAt - 1000);
        return made;
    };
    const std::vector<Nanos> first = delays(7);
    for (Nanos delay : first) {
        EXPECT_GE(delay, 0);
        EXPECT_LE(delay, 20 * kNanosPerMilli);
    }
    EXPECT_GT(*std::max_element(first.begin(), first.end()), *std::min_element(first.begin(), first.end()));
    EXPECT_EQ(delays(7), first);
    EXPECT_NE(delays(8), first);
}

TEST(CameraModelTest, GoodLinesAreAcknowledgedAndCollectedBadOnesRejected)
{
    CameraModel camera = downloadingCamera(SimOptions{});
    const CameraAnswer first = take(camera, lineCommand(imageLine(1)));
    ASSERT_EQ(first.replies.size(), 1u);
    EXPECT_EQ(first.replies[0].bytes, kLvr);
    EXPECT_EQ(first.replies[0].acknowledgedLine, 1);

    QByteArray wrongSum = lineCommand(imageLine(2));
    wrongSum[wrongSum.size() - 1] = static_cast<char>(wrongSum.back() ^ 0x01);
    EXPECT_TRUE(take(camera, wrongSum).replies.empty());
    EXPECT_TRUE(take(camera, "ckw" + QByteArray(10, 'a')).replies.empty());

    EXPECT_EQ(replyBytes(take(camera, lineCommand(imageLine(3)))), QList<QByteArray>{kLvr});
    EXPECT_EQ(camera.goodLines(), 2);
    EXPECT_EQ(camera.image(), imageLine(1) + imageLine(3));
    ASSERT_EQ(camera.rejectedLines().size(), 2u);
    EXPECT_EQ(camera.rejectedLines()[0].frameNumber, 2);
    EXPECT_TRUE(camera.rejectedLines()[0].fault.contains(QStringLiteral("sum byte")));
    EXPECT_EQ(camera.rejectedLines()[1].frameNumber, 3);
}

TEST(CameraModelTest, ALineBeforeTheDownloadStartIsRefused)
{
    CameraModel camera(SimOptions{});
    EXPECT_TRUE(take(camera, lineCommand(imageLine(1))).replies.empty());
    EXPECT_EQ(camera.goodLines(), 0);
    ASSERT_EQ(camera.rejectedLines().size(), 1u);
    EXPECT_TRUE(camera.rejectedLines()[0].fault.contains(QStringLiteral("ckl0")));
}

TEST(CameraModelTest, StopAfterLinesAnswersThatManyLinesAndThenNothing)
{
    SimOptions stopping;
    stopping.stopAfterLines = 2;
    CameraModel camera = downloadingCamera(stopping);
    EXPECT_EQ(take(camera, lineCommand(imageLine(1))).replies.size(), 1u);
    EXPECT_EQ(take(camera, lineCommand(imageLine(2))).replies.size(), 1u);
    EXPECT_TRUE(take(camera, lineCommand(imageLine(3))).replies.empty());
    EXPECT_TRUE(take(camera, "ckb0").replies.empty());
    EXPECT_TRUE(take(camera, "ckz0m").replies.empty());
    EXPECT_EQ(camera.goodLines(), 3);   // still received and checked
}

TEST(CameraModelTest, VanishAfterLinesDisappearsOnThatLineWithoutAnswering)
{
    SimOptions vanishing;
    vanishing.vanishAfterLines = 2;
    CameraModel camera = downloadingCamera(vanishing);
    EXPECT_FALSE(take(camera, lineCommand(imageLine(1))).vanish);
    const CameraAnswer second = take(camera, lineCommand(imageLine(2)));
    EXPECT_TRUE(second.vanish);
    EXPECT_TRUE(second.replies.empty());
}

TEST(CameraModelTest, TheSecondCkz0mAfterTheDownloadFinishesTheClosingScript)
{
    CameraModel camera(SimOptions{});
    EXPECT_FALSE(take(camera, "ckz0m").finishing);   // before any line: not the closing script
    take(camera, "ckl0");
    take(camera, lineCommand(imageLine(1)));
    for (const char *command : {"ckb0", "ckz0m", "cDd0k3", "cDr0k", "ckk", "cki0n", "ckd0\xF2"}) {
        const CameraAnswer answer = take(camera, command);
        EXPECT_FALSE(answer.finishing) << command;
    }
    const CameraAnswer last = take(camera, "ckz0m");
    EXPECT_TRUE(last.finishing);
    EXPECT_EQ(replyBytes(last), QList<QByteArray>{kLvr});
}

// --- Image verdict, report, options ------------------------------------------------

TEST(ImageVerdictTest, ComparesLineByLine)
{
    const QByteArray expected = imageLine(1) + imageLine(2) + imageLine(3);
    EXPECT_EQ(ImageVerdict::compare(expected, expected).text(), QStringLiteral("match"));
    EXPECT_EQ(ImageVerdict::compare(imageLine(1) + imageLine(9) + imageLine(3), expected).text(),
              QStringLiteral("MISMATCH at line 1"));
    EXPECT_EQ(ImageVerdict::compare(imageLine(1), expected).text(), QStringLiteral("incomplete 1 of 3 lines"));
    // A wrong line is a mismatch even when lines are missing after it.
    EXPECT_EQ(ImageVerdict::compare(imageLine(7), expected).text(), QStringLiteral("MISMATCH at line 0"));
    EXPECT_EQ(ImageVerdict::compare(expected + imageLine(4), expected).text(), QStringLiteral("MISMATCH at line 3"));
}

TEST(ExpectedImageTest, TakesContainersAndRawImagesAndRefusesAnythingElse)
{
    const QByteArray raw = imageLine(1) + imageLine(2);
    const ExpectedImage fromRaw = ExpectedImage::fromBytes(raw);
    EXPECT_TRUE(fromRaw.error.isEmpty());
    EXPECT_EQ(fromRaw.image, raw);

    const ExpectedImage odd = ExpectedImage::fromBytes(raw.left(100));
    EXPECT_FALSE(odd.error.isEmpty());
    EXPECT_FALSE(ExpectedImage::fromBytes(QByteArray()).error.isEmpty());

    QFile committed(qEnvironmentVariable("REVERTEX_SOURCE_DIR") +
                    QStringLiteral("/resources/firmware/ptz2-test-image.container"));
    if (!committed.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no committed firmware container";
    const ExpectedImage container = ExpectedImage::fromBytes(committed.readAll());
    ASSERT_TRUE(container.error.isEmpty()) << container.error.toStdString();
    EXPECT_EQ(container.image.size() % LineCodec::kImageBytes, 0);
    EXPECT_TRUE(container.description.startsWith(QStringLiteral("firmware container")));
}

TEST(RunReportTest, ExitStatusFollowsTheImageAndTheClosingScript)
{
    SimOptions options;
    CameraModel camera = downloadingCamera(options);
    take(camera, lineCommand(imageLine(1)));
    const WireJudge clean({}, 0);
    const ExpectedImage expected = ExpectedImage::fromBytes(imageLine(1));
    const RunEnd flashed{QStringLiteral("test"), true, true};
    EXPECT_EQ(RunReport(camera, clean, options, expected, flashed).exitStatus(), 0);
    EXPECT_EQ(RunReport(camera, clean, options, std::nullopt, flashed).exitStatus(), 0);
    const RunReport short1(camera, clean, options, ExpectedImage::fromBytes(imageLine(1) + imageLine(2)), flashed);
    EXPECT_EQ(short1.exitStatus(), 1);
    EXPECT_EQ(short1.resultText(), QStringLiteral("NOT as expected: the image is incomplete"));

    const RunReport unclosed(camera, clean, options, expected, RunEnd{QStringLiteral("test"), false, true});
    EXPECT_EQ(unclosed.exitStatus(), 1);
    EXPECT_EQ(unclosed.resultText(), QStringLiteral("NOT as expected: the closing script did not finish"));

    WireJudge faulty({}, 0);
    faulty.looseBytes(LooseBytes{LooseBytes::Kind::Stray, 7, 1, 0}, 'x');
    const RunReport broken(camera, faulty, options, expected, flashed);
    EXPECT_EQ(broken.exitStatus(), 1);
    EXPECT_TRUE(broken.summary(false).contains(QStringLiteral("protocol: FAULT at byte 7, 0.000000 s: stray byte 0x78")))
        << broken.summary(false).toStdString();
    EXPECT_TRUE(broken.json().contains("\"imageMatches\": true"));
    EXPECT_TRUE(broken.json().contains("\"protocolClean\": false"));
}

TEST(RunReportTest, CommandListFoldsRunsOfTheSameCommand)
{
    EXPECT_EQ(RunReport::compactCommandList({"ckl0", "ckw", "ckw", "ckw", "ckb0", "ckw"}),
              QStringLiteral("ckl0 ckw*3 ckb0 ckw"));
}

TEST(LineTimingLogTest, EachLineGetsTheLastAcknowledgementWrittenBeforeIt)
{
    LineTimingLog log;
    log.acknowledgementWritten(1 * kNanosPerSecond, 0);   // "ckl0"
    log.lineArrived(1, 2 * kNanosPerSecond);
    log.acknowledgementWritten(3 * kNanosPerSecond, 1);
    log.acknowledgementWritten(4 * kNanosPerSecond, 0);   // a stray extra acknowledgement
    log.lineArrived(2, 5 * kNanosPerSecond);
    const QStringList lines = log.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    EXPECT_TRUE(lines.contains(QStringLiteral("first-line-sent 2.000000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("last-ack 3.000000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("1 1.000000 2.000000")));
    EXPECT_TRUE(lines.contains(QStringLiteral("2 4.000000 5.000000")));
}

TEST(SimOptionsParserTest, ReadsBothValueFormsAndRepeatedIgnores)
{
    const auto parsed = SimOptionsParser::parse({"--baud", "9600", "--version=3.46", "--ignore", "QGt", "--ignore=ckw",
                                                 "--start-delay", "0.5", "--lira", "--stop-after-lines", "0",
                                                 "--jitter-ms", "15", "--seed=42"});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.options.baud, 9600);
    EXPECT_EQ(parsed.options.version, QStringLiteral("3.46"));
    EXPECT_EQ(parsed.options.ignored, (QStringList{"QGt", "ckw"}));
    EXPECT_DOUBLE_EQ(parsed.options.startDelaySeconds, 0.5);
    EXPECT_TRUE(parsed.options.lira);
    EXPECT_EQ(parsed.options.stopAfterLines, 0);
    EXPECT_EQ(parsed.options.jitterMs, 15);
    EXPECT_EQ(parsed.options.seed, 42);
}

TEST(SimOptionsParserTest, RefusesWhatItCannotUse)
{
    const QList<QStringList> wrong{
        {"--bogus"},
        {"stray"},
        {"--baud"},
        {"--baud", "fast"},
        {"--baud", "-1"},
        {"--start-delay", "nan"},
        {"--timeout", "0"},
        {"--vanish-after-lines", "0"},
        {"--jitter-ms", "-1"},
        {"--seed", "x"},
        {"--ignore", "ckw0"},
        {"--lira=yes"},
        {"--expect", ""},
        {"--ack-first", "--no-report"},
    };
    for (const QStringList &arguments : wrong)
        EXPECT_FALSE(SimOptionsParser::parse(arguments).error.isEmpty()) << arguments.join(' ').toStdString();
}

TEST(SimOptionsParserTest, HelpNamesEveryOption)
{
    const QString help = SimOptionsParser::helpText();
    for (const char *option : {"--version", "--no-report", "--ack-first", "--lira", "--alternate-acks", "--ignore",
                               "--silent", "--start-delay", "--stop-after-lines", "--vanish-after-lines", "--split",
                               "--noise", "--ack-delay-ms", "--baud", "--expect", "--exit-after-finish", "--timeout",
                               "--log-commands", "--report", "--timing", "--path-file", "--link", "--help",
                               "--tolerate", "--jitter-ms", "--seed"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;
}
