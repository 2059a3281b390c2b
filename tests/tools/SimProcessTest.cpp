// ptz2-sim as the program meets it: a child process on a pseudo-terminal, opened
// with plain termios, frames in, replies out, a summary and an exit status at the end.

#include "PtyClient.h"
#include "flash/FirmwareImage.h"
#include "flash/LineCodec.h"
#include "tests/support/ImageLines.h"
#include "tests/support/SimProcess.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QByteArray kLvr("\x02lvr\x04");
const QByteArray kLira("\x02lira\x04");
const QByteArray kNoise("\x02xyz\x04");

// Long enough that a reply the camera owed would have come, on an idle machine.
constexpr int kQuietMs = 500;
constexpr qint64 kNanosPerByteAt9600 = 1041666;   // 10 bits at 9600 baud, rounded down

QByteArray report(const char *version)
{
    return QByteArray("\x02PTZ2 BOOT 1.07 CBOX ") + version + '\x04';
}

QByteArray lineCommand(const QByteArray &imageBytes)
{
    return "ckw" + LineCodec::encodeLine(imageBytes);
}

// A simulator and the program's end of its device.
struct SimRig {
    explicit SimRig(const QStringList &arguments)
        : sim(arguments)
        , pty(sim.devicePath())
    {
    }
    SimProcess sim;
    PtyClient pty;
};

#define ASSERT_RIG_UP(rig) ASSERT_TRUE((rig).pty.isOpen()) << "ptz2-sim did not start: " << (rig).sim.output().toStdString()

const QList<QByteArray> kClosingScript{"ckb0", "ckz0m", "cDd0k3", "cDr0k", "ckk", "cki0n", "ckd0\xF2", "ckz0m"};

// As the wizard does it: each command after the acknowledgement of the one before.
void sendInTurn(PtyClient &pty, const QList<QByteArray> &commands)
{
    for (const QByteArray &command : commands) {
        pty.send(command);
        ASSERT_EQ(pty.readReplies(1).size(), 1) << command.constData();
    }
}

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        return {};
    return path;
}

} // namespace

TEST(SimProcessTest, AcknowledgesTheWholeFlashAndListsWhatItReceived)
{
    SimRig rig({"--log-commands"});
    ASSERT_RIG_UP(rig);
    const QList<QByteArray> checkCommands{"QGt", "ckkV", "cki0n"};
    for (const QByteArray &command : checkCommands) {
        rig.pty.send(command);
        EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr}) << command.constData();
    }
    rig.pty.send("ckb0");
    EXPECT_EQ(rig.pty.readReplies(2), (QList<QByteArray>{report("3.45"), kLvr}));
    rig.pty.send("ckl0");
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    rig.pty.send(lineCommand(imageLine(1)));
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    // The closing script; "ckb0" is now a plain command: no report.
    const QList<QByteArray> closing{"ckb0", "ckz0m", "cDd0k3", "cDr0k", "ckk", "cki0n", "ckd0\xF2", "ckz0m"};
    for (const QByteArray &command : closing) {
        rig.pty.send(command);
        EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr}) << command.constData();
    }
    EXPECT_EQ(rig.sim.stop(), 0);
    const QString output = rig.sim.output();
    EXPECT_TRUE(output.contains(QStringLiteral(
        "commands: QGt ckkV cki0n ckb0 ckl0 ckw ckb0 ckz0m cDd0k3 cDr0k ckk cki0n ckd0 ckz0m\n")))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("lines received: 1\n")));
    EXPECT_TRUE(output.contains(QStringLiteral("closing script: finished\n")));
}

TEST(SimProcessTest, ReplyShapesFollowTheOptions)
{
    struct Case {
        QStringList arguments;
        QByteArray command;
        QList<QByteArray> replies;
    };
    const QList<Case> cases{
        {{}, "QGt", {kLvr}},
        {{"--lira"}, "cki0n", {kLira}},
        {{"--noise"}, "QGt", {kNoise, kLvr}},
        {{}, "ckb0", {report("3.45"), kLvr}},
        {{"--ack-first"}, "ckb0", {kLvr, report("3.45")}},
        {{"--no-report"}, "ckb0", {kLvr}},
        {{"--version", "3.46"}, "ckb0", {report("3.46"), kLvr}},
        {{"--split", "--version", "3.46"}, "ckb0", {report("3.46"), kLvr}},
    };
    for (const Case &c : cases) {
        const std::string label = (c.arguments.join(' ') + " / " + QString::fromLatin1(c.command)).toStdString();
        SimRig rig(c.arguments);
        ASSERT_RIG_UP(rig);
        rig.pty.send(c.command);
        EXPECT_EQ(rig.pty.readReplies(int(c.replies.size())), c.replies) << label;
        // Nothing more belongs to that answer: the next reply answers the next command.
        rig.pty.send("ckkV");
        const QList<QByteArray> next = rig.pty.readReplies(1);
        ASSERT_EQ(next.size(), 1) << label;
        EXPECT_FALSE(next.first().contains("BOOT")) << label;
    }
}

TEST(SimProcessTest, AfterTheDownloadStartCkb0IsOnlyAcknowledged)
{
    SimRig rig({});
    ASSERT_RIG_UP(rig);
    rig.pty.send("ckl0");
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    rig.pty.send("ckb0");
    rig.pty.send("ckk");
    EXPECT_EQ(rig.pty.readReplies(2), (QList<QByteArray>{kLvr, kLvr}));
}

TEST(SimProcessTest, AnIgnoredCommandGoesUnansweredAndTheRestAreAnswered)
{
    SimRig rig({"--ignore", "ckkV", "--log-commands"});
    ASSERT_RIG_UP(rig);
    rig.pty.send("ckkV");
    rig.pty.send("ckb0");
    // Answers go out in order, so an acknowledgement of "ckkV" would come first.
    EXPECT_EQ(rig.pty.readReplies(2), (QList<QByteArray>{report("3.45"), kLvr}));
    rig.sim.stop();
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("commands: ckkV ckb0\n")));
}

TEST(SimProcessTest, ASilentCameraAnswersNothing)
{
    SimRig rig({"--silent", "--log-commands"});
    ASSERT_RIG_UP(rig);
    for (const QByteArray &command : {QByteArray("QGt"), QByteArray("ckb0"), QByteArray("ckl0")})
        rig.pty.send(command);
    EXPECT_TRUE(rig.pty.readFor(kQuietMs).isEmpty());
    rig.sim.stop();
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("commands: QGt ckb0 ckl0\n"))) << rig.sim.output().toStdString();
}

// Told to stop, the camera first takes in what was sent to it before: a summary taken at
// once after the program's last write misses none of it, however busy the machine.
TEST(SimProcessTest, StoppingTakesInWhatWasSentBefore)
{
    for (int run = 0; run < 5; ++run) {
        SCOPED_TRACE(run);
        SimRig rig({"--silent", "--log-commands"});
        ASSERT_RIG_UP(rig);
        rig.pty.send("QGt");
        rig.pty.send("ckb0");
        rig.sim.stop();
        EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("commands: QGt ckb0\n"))) << rig.sim.output().toStdString();
    }
}

TEST(SimProcessTest, StartDelayHoldsBackTheAcknowledgementOfCkl0)
{
    SimRig rig({"--start-delay", "1"});
    ASSERT_RIG_UP(rig);
    rig.pty.send("QGt");
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    QElapsedTimer waited;
    waited.start();
    rig.pty.send("ckl0");
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    EXPECT_GE(waited.elapsed(), 1000);
}

TEST(SimProcessTest, GoodLinesAreAcknowledgedBadLinesAreNot)
{
    // Alternating tokens tell which frame an acknowledgement belongs to. The lines go
    // out without waiting, so the verdict must tolerate that to single out the bad lines.
    SimRig rig({"--alternate-acks", "--tolerate", "early-lines"});
    ASSERT_RIG_UP(rig);
    rig.pty.send("ckl0");
    rig.pty.send(lineCommand(imageLine(1)));
    EXPECT_EQ(rig.pty.readReplies(2), (QList<QByteArray>{kLvr, kLira}));

    QByteArray wrongSum = lineCommand(imageLine(2));
    wrongSum[wrongSum.size() - 1] = static_cast<char>(wrongSum.back() + 1);
    rig.pty.send(wrongSum);
    rig.pty.send(lineCommand(imageLine(3)));
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});

    QByteArray bareEot = lineCommand(imageLine(4));
    bareEot.insert(30, '\x04');
    rig.pty.send(bareEot);
    rig.pty.send(lineCommand(imageLine(5)));
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLira});

    EXPECT_EQ(rig.sim.stop(), 1);
    const QString output = rig.sim.output();
    EXPECT_TRUE(output.contains(QStringLiteral("lines received: 3\n"))) << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("bad lines: 2\n")));
    EXPECT_TRUE(output.contains(QStringLiteral("bytes: 192\n")));
    EXPECT_TRUE(output.contains(QStringLiteral("protocol: FAULT at byte %1, ").arg(6 + lineCommand(imageLine(1)).size() + 2)))
        << output.toStdString();
    EXPECT_TRUE(output.contains(QStringLiteral("line refused: sum byte")));
    EXPECT_TRUE(output.contains(QStringLiteral("(tolerated)")));
}

// A sender that breaks the protocol on purpose, one way at a time: each check bites,
// the run fails, and the summary names the first fault where it happened.
TEST(SimProcessTest, EveryProtocolFaultFailsTheRunAndIsNamedWhereItHappened)
{
    const QByteArray line1 = lineCommand(imageLine(1));
    const QByteArray line2 = lineCommand(imageLine(2));
    const QByteArray frame1 = '\x02' + line1 + '\x04';
    struct Case {
        const char *name;
        // Bytes written in one go after "ckl0" and its acknowledgement (6 bytes in).
        QByteArray bytes;
        qint64 offset;
        const char *says;
    };
    const QList<Case> cases{
        {"stray byte", "U" + frame1, 6, "stray byte 0x55 outside any frame"},
        {"doubled EOT", frame1 + '\x04', 6 + frame1.size(), "stray byte 0x04 outside any frame"},
        {"abandoned frame", "\x02" "ck" + frame1, 6 + 3, "a second STX abandoned the frame begun 3 bytes before"},
        {"early line", frame1 + '\x02' + line2 + '\x04', 6 + frame1.size(),
         "\"ckw\" sent before the acknowledgement of the \"ckw\" before it"},
        {"wrong phase", "\x02QGt\x04", 6, "\"QGt\" is no command of the download"},
        {"bad line", "\x02" + line1.left(line1.size() - 1) + '\x04', 6, "line refused"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        SimRig rig({});
        ASSERT_RIG_UP(rig);
        sendInTurn(rig.pty, {"ckl0"});
        rig.pty.sendBytes(c.bytes);
        rig.pty.readFor(kQuietMs / 5);
        EXPECT_EQ(rig.sim.stop(), 1);
        const QString output = rig.sim.output();
        const QString fault = QStringLiteral("protocol: FAULT at byte %1, ").arg(c.offset);
        ASSERT_TRUE(output.contains(fault)) << output.toStdString();
        const QString line = output.mid(output.indexOf(fault)).section(QLatin1Char('\n'), 0, 0);
        EXPECT_TRUE(line.contains(QRegularExpression(QStringLiteral(" [0-9]+\\.[0-9]{6} s: ")))) << line.toStdString();
        EXPECT_TRUE(line.contains(QLatin1String(c.says))) << line.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("result: NOT as expected: the program broke the protocol")));
    }
}

TEST(SimProcessTest, AClosingScriptOutOfOrderFailsTheRunUnlessTolerated)
{
    for (const bool tolerated : {false, true}) {
        SimRig rig(tolerated ? QStringList{"--tolerate", "closing-order"} : QStringList{});
        ASSERT_RIG_UP(rig);
        QList<QByteArray> swapped = kClosingScript;
        swapped.swapItemsAt(2, 3);
        sendInTurn(rig.pty, QList<QByteArray>{"ckl0", lineCommand(imageLine(1))} + swapped);
        EXPECT_EQ(rig.sim.stop(), tolerated ? 0 : 1);
        const QString output = rig.sim.output();
        EXPECT_TRUE(output.contains(QStringLiteral("\"cDr0k\" where \"cDd0k3\" was due (command 3 of 8)")))
            << output.toStdString();
        EXPECT_EQ(output.contains(QStringLiteral("protocol: clean\n")), tolerated);
    }
}

TEST(SimProcessTest, ExpectJudgesTheReceivedImageAndSetsTheExitStatus)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QList<QByteArray> lines{imageLine(1), imageLine(2), imageLine(3)};
    const QString image = writeFile(dir, QStringLiteral("image.bin"), lines[0] + lines[1] + lines[2]);
    ASSERT_FALSE(image.isEmpty());

    struct Case {
        QList<QByteArray> sent;
        bool closingScript;
        QString verdict;
        QString result;
        int status;
    };
    const QList<Case> cases{
        {lines, true, QStringLiteral("image: match\n"),
         QStringLiteral("result: as expected: the whole image arrived and the closing script ran\n"), 0},
        {lines, false, QStringLiteral("image: match\n"),
         QStringLiteral("result: NOT as expected: the closing script did not finish\n"), 1},
        {{lines[0], imageLine(9), lines[2]}, true, QStringLiteral("image: MISMATCH at line 1\n"),
         QStringLiteral("result: NOT as expected: the image differs at line 1\n"), 1},
        {{lines[0], lines[1]}, true, QStringLiteral("image: incomplete 2 of 3 lines\n"),
         QStringLiteral("result: NOT as expected: the image is incomplete\n"), 1},
        {{}, false, QStringLiteral("image: not judged, no download was started\n"),
         QStringLiteral("result: as expected: no download was started\n"), 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.result.toStdString());
        SimRig rig({"--expect", image});
        ASSERT_RIG_UP(rig);
        if (!c.sent.isEmpty()) {
            rig.pty.send("ckl0");
            ASSERT_EQ(rig.pty.readReplies(1).size(), 1);
        }
        for (const QByteArray &line : c.sent) {
            rig.pty.send(lineCommand(line));
            ASSERT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
        }
        if (c.closingScript)
            sendInTurn(rig.pty, kClosingScript);
        EXPECT_EQ(rig.sim.stop(), c.status);
        const QString output = rig.sim.output();
        EXPECT_TRUE(output.contains(c.verdict)) << output.toStdString();
        EXPECT_TRUE(output.contains(c.result)) << output.toStdString();
        EXPECT_TRUE(output.contains(QStringLiteral("protocol: clean\n")));
    }
}

TEST(SimProcessTest, TheCommittedContainerArrivesWholeWithTimingAndReport)
{
    const QString container =
        qEnvironmentVariable("REVERTEX_SOURCE_DIR") + QStringLiteral("/resources/firmware/ptz2-test-image.container");
    QFile file(container);
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "no committed firmware container";
    const LineRecords records = unpackFirmware(file.readAll());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString timing = dir.filePath(QStringLiteral("timing.txt"));
    const QString reportFile = dir.filePath(QStringLiteral("report.json"));

    SimRig rig({"--expect", container, "--timing", timing, "--report", reportFile});
    ASSERT_RIG_UP(rig);
    rig.pty.send("ckl0");
    ASSERT_EQ(rig.pty.readReplies(1).size(), 1);
    for (const QByteArray &record : records) {
        // As the line transfer sends it: the head, the record as stored, the EOT.
        rig.pty.sendBytes("\x02" "ckw" + record + "\x04");
        ASSERT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    }
    sendInTurn(rig.pty, kClosingScript);
    EXPECT_EQ(rig.sim.stop(), 0);
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("image: match\n"))) << rig.sim.output().toStdString();
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("lines received: %1\n").arg(records.size())));

    QFile timingFile(timing);
    ASSERT_TRUE(timingFile.open(QIODevice::ReadOnly));
    const QList<QByteArray> timingLines = timingFile.readAll().split('\n');
    qsizetype perLine = 0;
    for (const QByteArray &line : timingLines) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && !line.startsWith('#')) {
            ++perLine;
            EXPECT_LE(fields[1].toDouble(), fields[2].toDouble()) << line.constData();   // acknowledged, then sent
        }
    }
    EXPECT_EQ(perLine, records.size());

    QFile reportJson(reportFile);
    ASSERT_TRUE(reportJson.open(QIODevice::ReadOnly));
    const QJsonObject report = QJsonDocument::fromJson(reportJson.readAll()).object();
    EXPECT_TRUE(report.value(QStringLiteral("imageMatches")).toBool());
    EXPECT_EQ(report.value(QStringLiteral("linesReceived")).toInt(), records.size());
}

TEST(SimProcessTest, VanishAfterLinesTakesTheDeviceAway)
{
    SimRig rig({"--vanish-after-lines", "2"});
    ASSERT_RIG_UP(rig);
    sendInTurn(rig.pty, {"ckl0", lineCommand(imageLine(1))});
    rig.pty.send(lineCommand(imageLine(2)));
    EXPECT_TRUE(rig.pty.waitForClosed());
    EXPECT_TRUE(rig.sim.waitForExit(PtyClient::kReplyCapMs));
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("device vanished after 2 lines"))) << rig.sim.output().toStdString();
}

TEST(SimProcessTest, PacingAt9600HoldsFramesAndRepliesForTheirLineTime)
{
    SimRig rig({"--baud", "9600", "--lira"});
    ASSERT_RIG_UP(rig);
    QElapsedTimer elapsed;
    elapsed.start();
    rig.pty.send("ckkV");   // six bytes in, six bytes ("lira") back
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLira});
    EXPECT_GE(elapsed.nsecsElapsed(), 12 * kNanosPerByteAt9600);

    rig.pty.send("ckl0");
    ASSERT_EQ(rig.pty.readReplies(1).size(), 1);
    const QByteArray line = lineCommand(imageLine(1));
    elapsed.restart();
    rig.pty.send(line);
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLira});
    EXPECT_GE(elapsed.nsecsElapsed(), (line.size() + 2 + kLira.size()) * kNanosPerByteAt9600);
}

TEST(SimProcessTest, ExitAfterFinishEndsOnceTheClosingScriptIsDone)
{
    SimRig rig({"--exit-after-finish"});
    ASSERT_RIG_UP(rig);
    sendInTurn(rig.pty, {"ckl0", lineCommand(imageLine(1))});
    sendInTurn(rig.pty, kClosingScript.mid(0, kClosingScript.size() - 1));
    EXPECT_FALSE(rig.sim.waitForExit(0));
    rig.pty.send("ckz0m");
    // The answer to the final command still arrives before the device goes away.
    EXPECT_EQ(rig.pty.readReplies(1), QList<QByteArray>{kLvr});
    ASSERT_TRUE(rig.sim.waitForExit(PtyClient::kReplyCapMs));
    EXPECT_EQ(rig.sim.exitCode(), 0);
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("(closing script finished)"))) << rig.sim.output().toStdString();
}

TEST(SimProcessTest, PathFileAndLinkNameTheDevice)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pathFile = dir.filePath(QStringLiteral("port"));
    const QString link = dir.filePath(QStringLiteral("camera"));
    {
        SimRig rig({"--path-file", pathFile, "--link", link});
        ASSERT_RIG_UP(rig);
        QFile written(pathFile);
        ASSERT_TRUE(written.open(QIODevice::ReadOnly));
        EXPECT_EQ(QString::fromLocal8Bit(written.readAll()), rig.sim.devicePath() + QLatin1Char('\n'));
        EXPECT_EQ(QFileInfo(link).symLinkTarget(), rig.sim.devicePath());
        PtyClient throughLink(link);
        ASSERT_TRUE(throughLink.isOpen());
        throughLink.send("QGt");
        EXPECT_EQ(throughLink.readReplies(1), QList<QByteArray>{kLvr});
        rig.sim.stop();
    }
    EXPECT_FALSE(QFileInfo(link).isSymLink());
}

TEST(SimProcessTest, UsageErrorsExitWithTwo)
{
    const QList<QStringList> wrong{{"--baud", "fast"}, {"--ignore", "xyz"}, {"--expect", "/nonexistent/image.bin"}};
    for (const QStringList &arguments : wrong) {
        QProcess sim;
        sim.start(SimProcess::binary(), arguments);
        ASSERT_TRUE(sim.waitForFinished(PtyClient::kReplyCapMs));
        EXPECT_EQ(sim.exitCode(), 2) << arguments.join(' ').toStdString();
        EXPECT_FALSE(sim.readAllStandardError().isEmpty());
        EXPECT_TRUE(sim.readAllStandardOutput().isEmpty());   // no device announced
    }
}

TEST(SimProcessTest, StopAfterLinesLeavesTheClosingScriptUnanswered)
{
    SimRig rig({"--stop-after-lines", "2"});
    ASSERT_RIG_UP(rig);
    sendInTurn(rig.pty, {"ckl0", lineCommand(imageLine(1)), lineCommand(imageLine(2))});
    // The closing script runs on through its waits without an answer.
    for (const QByteArray &command : kClosingScript) {
        rig.pty.send(command);
        EXPECT_TRUE(rig.pty.readFor(kQuietMs / 5).isEmpty()) << command.constData();
    }
    EXPECT_EQ(rig.sim.stop(), 0);
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("lines received: 2\n"))) << rig.sim.output().toStdString();
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("closing script: finished\n")));
}

TEST(SimProcessTest, TimeoutEndsTheRunWithASummary)
{
    SimRig rig({"--timeout", "0.5"});
    ASSERT_RIG_UP(rig);
    ASSERT_TRUE(rig.sim.waitForExit(PtyClient::kReplyCapMs));
    EXPECT_EQ(rig.sim.exitCode(), 0);
    EXPECT_TRUE(rig.sim.output().contains(QStringLiteral("ptz2-sim summary (timeout after 0.5 s)")))
        << rig.sim.output().toStdString();
    EXPECT_TRUE(rig.pty.waitForClosed());
}
