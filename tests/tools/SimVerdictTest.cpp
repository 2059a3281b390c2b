// The simulated camera as a judge: the protocol checks over a run, its own line reader
// against the wizard's encoder and decoder, and what each scenario expects of the image.

#include "CameraCommands.h"
#include "ExpectedImage.h"
#include "LineCheck.h"
#include "RunReport.h"
#include "ScenarioExpectation.h"
#include "WireJudge.h"
#include "flash/LineCodec.h"
#include "tests/support/ImageLines.h"

#include <QtEndian>
#include <gtest/gtest.h>
#include <functional>
#include <random>

namespace {

// A judge fed frames the way the loop feeds it: each frame read at `at`, its STX at `offset`.
struct JudgedRun {
    explicit JudgedRun(QStringList tolerated = {})
        : judge(std::move(tolerated), 0)
    {
    }

    // Sends a frame; with `acknowledged` the camera's acknowledgement goes out at at + 1.
    void frame(const QByteArray &command, Nanos at, bool acknowledged = true, bool repliesUnread = false)
    {
        const InboundFrame inbound{command, offset, at, at, repliesUnread};
        const int serial = ++frames;
        judge.frameArrived(serial, inbound, CameraCommands::knownName(command));
        if (acknowledged)
            judge.acknowledgementWritten(serial, at + 1);
        offset += command.size() + 2;
    }

    void closingScript(Nanos from, const QList<QByteArray> &script)
    {
        for (const QByteArray &command : script)
            frame(command, from += 10);
    }

    WireJudge judge;
    qint64 offset = 0;
    int frames = 0;
};

const QList<QByteArray> kClosing{"ckb0", "ckz0m", "cDd0k3", "cDr0k", "ckk", "cki0n", "ckd0\xF2", "ckz0m"};
const QByteArray kLine = "ckw" + LineCodec::encodeLine(imageLine(1));

} // namespace

// --- The protocol checks ---------------------------------------------------------

TEST(WireJudgeTest, AWholeFlashInOrderIsClean)
{
    JudgedRun run;
    for (const char *command : {"QGt", "ckkV", "cki0n", "ckb0", "QGt", "ckkV", "cki0n", "ckb0", "ckl0"})
        run.frame(command, run.frames * 10);
    for (int line = 0; line < 3; ++line)
        run.frame(kLine, 100 + line * 10);
    run.closingScript(200, kClosing);
    EXPECT_TRUE(run.judge.clean());
    for (const WireCheckInfo &info : kWireChecks)
        EXPECT_EQ(run.judge.count(info.check), 0) << info.name;
}

TEST(WireJudgeTest, EachCheckBitesAndNamesItsFirstFault)
{
    struct Case {
        WireCheck check;
        std::function<void(JudgedRun &)> send;
        qint64 offset;
        const char *says;
    };
    const QList<Case> cases{
        {WireCheck::StrayBytes,
         [](JudgedRun &r) { r.judge.looseBytes(LooseBytes{LooseBytes::Kind::Stray, 40, 2, 5}, '\x04'); }, 40,
         "2 stray bytes outside any frame, the first 0x04"},
        {WireCheck::AbandonedFrames,
         [](JudgedRun &r) { r.judge.looseBytes(LooseBytes{LooseBytes::Kind::Abandoned, 12, 3, 5}, '\x02'); }, 12,
         "a second STX abandoned the frame begun 3 bytes before"},
        {WireCheck::WrongPhase, [](JudgedRun &r) { r.frame("ckz0m", 5); }, 0,
         "\"ckz0m\" is no command of the camera check"},
        {WireCheck::WrongPhase,
         [](JudgedRun &r) {
             r.frame("ckl0", 5);
             r.frame("QGt", 10);
         },
         6, "\"QGt\" is no command of the download"},
        {WireCheck::WrongPhase, [](JudgedRun &r) { r.frame(kLine, 5); }, 0, "\"ckw\" is no command of the camera check"},
        {WireCheck::WrongPhase, [](JudgedRun &r) { r.frame("zzz", 5); }, 0, "unknown frame"},
        {WireCheck::EarlyLines,
         [](JudgedRun &r) {
             r.frame("ckl0", 5);
             r.frame(kLine, 10, false);
             r.frame(kLine, 20);
         },
         6 + kLine.size() + 2, "\"ckw\" sent before the acknowledgement of the \"ckw\" before it"},
        {WireCheck::EarlyLines,
         [](JudgedRun &r) {
             r.frame("ckl0", 5, false);
             r.judge.acknowledgementWritten(1, 30);   // late: after the line began
             r.frame(kLine, 20);
         },
         6, "before the acknowledgement of the \"ckl0\""},
        {WireCheck::EarlyLines,
         [](JudgedRun &r) {
             r.frame("ckl0", 5);
             r.frame(kLine, 20, true, true);   // our reply still unread when it began
         },
         6, "\"ckw\" sent before the acknowledgement of the \"ckl0\" before it"},
        {WireCheck::ClosingOrder,
         [](JudgedRun &r) {
             r.frame("ckl0", 5);
             r.frame(kLine, 10);
             r.closingScript(20, {"ckb0", "cDd0k3"});
         },
         6 + kLine.size() + 2 + 6, "\"cDd0k3\" where \"ckz0m\" was due (command 2 of 8)"},
        {WireCheck::WrongPhase,
         [](JudgedRun &r) {
             r.frame("ckl0", 5);
             r.frame(kLine, 10);
             r.closingScript(20, kClosing);
             r.frame("ckk", 500);
         },
         -1, "\"ckk\" is no command of anything after the closing script"},
    };
    for (const Case &c : cases) {
        JudgedRun run;
        c.send(run);
        SCOPED_TRACE(c.says);
        EXPECT_FALSE(run.judge.clean());
        EXPECT_EQ(run.judge.count(c.check), 1);
        const std::optional<WireFault> first = run.judge.firstFault();
        ASSERT_TRUE(first.has_value());
        EXPECT_EQ(first->check, c.check);
        if (c.offset >= 0) {
            EXPECT_EQ(first->offset, c.offset);
        }
        EXPECT_TRUE(first->what.contains(QLatin1String(c.says))) << first->what.toStdString();
    }
}

TEST(WireJudgeTest, ABadLineIsAFaultOfItsOwn)
{
    JudgedRun run;
    run.frame("ckl0", 5);
    run.judge.badLine(InboundFrame{"ckw", 6, 10, 10, false}, QStringLiteral("sum byte 0x01"));
    ASSERT_TRUE(run.judge.firstFault().has_value());
    EXPECT_EQ(run.judge.firstFault()->check, WireCheck::BadLines);
    EXPECT_EQ(run.judge.describe(*run.judge.firstFault()), QStringLiteral("byte 6, 0.000000 s: line refused: sum byte 0x01"));
}

TEST(WireJudgeTest, TheFirstFaultIsTheEarliestInTheStreamAndToleratedOnesOnlyCount)
{
    JudgedRun run({QStringLiteral("stray-bytes")});
    run.judge.looseBytes(LooseBytes{LooseBytes::Kind::Stray, 3, 1, 1}, 'a');
    run.judge.looseBytes(LooseBytes{LooseBytes::Kind::Abandoned, 90, 4, 9}, '\x02');
    run.judge.looseBytes(LooseBytes{LooseBytes::Kind::Abandoned, 50, 4, 8}, '\x02');
    EXPECT_EQ(run.judge.count(WireCheck::StrayBytes), 1);
    EXPECT_TRUE(run.judge.tolerated(WireCheck::StrayBytes));
    ASSERT_TRUE(run.judge.firstFault().has_value());
    EXPECT_EQ(run.judge.firstFault()->offset, 50);   // the stray byte at 3 is tolerated

    JudgedRun lenient(wireCheckNames());
    lenient.frame("ckz0m", 1);
    lenient.judge.looseBytes(LooseBytes{LooseBytes::Kind::Stray, 9, 1, 1}, 'a');
    EXPECT_TRUE(lenient.judge.clean());
    EXPECT_EQ(lenient.judge.count(WireCheck::WrongPhase), 1);
}

TEST(WireJudgeTest, TheClosingScriptMayRunOnAfterUnansweredCommands)
{
    // The wizard's closing waits run out: commands follow unacknowledged ones.
    JudgedRun run;
    run.frame("ckl0", 5);
    run.frame(kLine, 10);
    Nanos at = 20;
    for (const QByteArray &command : kClosing)
        run.frame(command, at += 10, false);
    EXPECT_TRUE(run.judge.clean());
}

// --- The camera's own line reader against the wizard's codec -------------------

TEST(LineCheckTest, ReadsWhatTheWizardEncodes)
{
    for (int seed = 0; seed < 50; ++seed) {
        const QByteArray image = imageLine(seed);
        const LineCheck::Result read = LineCheck::read(LineCodec::encodeLine(image));
        ASSERT_TRUE(read.good) << seed << ": " << read.fault.toStdString();
        EXPECT_EQ(read.imageBytes, image);
    }
}

TEST(LineCheckTest, AgreesWithTheWizardsDecoderOnDamagedLines)
{
    const QByteArray good = LineCodec::encodeLine(imageLine(3));
    QList<QByteArray> damaged{
        good.left(good.size() - 1),                        // sum byte missing
        good + 'x',                                        // one byte too many
        good.left(good.size() - 1) + '\x7F',               // ends inside a pair
        QByteArray(good).insert(10, "\x7F" "A"),           // a needless pair
        QByteArray(good).insert(20, '\x02'),               // a bare STX
        QByteArray(good).insert(20, '\x04'),               // a bare EOT
        QByteArray(good).replace(0, 1, "\x01"),            // sum no longer fits
        QByteArray(),
        QByteArray(130, '\x7F'),
    };
    // And many more by chance: flipped, dropped and inserted bytes, favouring the
    // values that matter to the escaping.
    std::mt19937 random(20261208);
    const char special[] = {'\x02', '\x04', '\x7F', '\x00', '\xFF'};
    for (int i = 0; i < 3000; ++i) {
        QByteArray line = LineCodec::encodeLine(imageLine(i));
        const int at = static_cast<int>(random() % static_cast<unsigned>(line.size()));
        const char value = random() % 2 ? special[random() % 5] : static_cast<char>(random() & 0xFF);
        switch (random() % 3) {
        case 0: line[at] = value; break;
        case 1: line.remove(at, 1); break;
        default: line.insert(at, value); break;
        }
        damaged.append(line);
    }
    int refused = 0;
    for (const QByteArray &line : damaged) {
        const LineCodec::Decoded wizard = LineCodec::decodeLine(line);
        const LineCheck::Result camera = LineCheck::read(line);
        ASSERT_EQ(camera.good, wizard.ok) << line.toHex().constData() << "\ncamera: " << camera.fault.toStdString()
                                          << "\nwizard: " << wizard.fault.toStdString();
        if (camera.good)
            EXPECT_EQ(camera.imageBytes, wizard.logical.left(LineCodec::kImageBytes));
        else
            ++refused;
    }
    EXPECT_GT(refused, 2000);   // the damage really was damage, most of the time
}

// --- The container as the camera's side reads it --------------------------------

TEST(ExpectedImageTest, ReadsContainersOnItsOwnAndRefusesBrokenOnes)
{
    const auto field = [](qint32 value) {
        QByteArray bytes(4, '\0');
        qToLittleEndian(value, bytes.data());
        return bytes;
    };
    const QByteArray line1 = LineCodec::encodeLine(imageLine(1));
    const QByteArray line2 = LineCodec::encodeLine(imageLine(2));
    const QByteArray container = field(1) + field(line1.size()) + line1 + field(line2.size()) + line2 + '\0';
    const ExpectedImage read = ExpectedImage::fromBytes(container);
    ASSERT_TRUE(read.error.isEmpty()) << read.error.toStdString();
    EXPECT_EQ(read.image, imageLine(1) + imageLine(2));
    EXPECT_EQ(read.description, QStringLiteral("firmware container, 2 lines"));

    QByteArray badSum = container;
    badSum[4 + 4 + line1.size() - 1] = static_cast<char>(badSum[4 + 4 + line1.size() - 1] ^ 0x10);
    const QList<QByteArray> broken{field(2) + field(line1.size()) + line1,   // a record short
                                   field(0) + field(-5) + line1, badSum, field(-1) + QByteArray(3, 'x')};
    for (const QByteArray &bytes : broken) {
        const ExpectedImage refused = ExpectedImage::fromBytes(bytes);
        EXPECT_FALSE(refused.error.isEmpty()) << bytes.toHex().constData();
        EXPECT_TRUE(refused.error.contains(QStringLiteral("neither a firmware container"))) << refused.error.toStdString();
    }
}

// --- What the scenario expects of the image --------------------------------------

TEST(ScenarioExpectationTest, OptionsThatEndTheDownloadEarlyMakeAnIncompleteImageExpected)
{
    struct Case {
        std::function<void(SimOptions &)> set;
        bool incompleteExpected;
    };
    const QList<Case> cases{
        {[](SimOptions &) {}, false},
        {[](SimOptions &o) { o.version = QStringLiteral("3.46"); }, false},
        {[](SimOptions &o) { o.silent = true; }, true},
        {[](SimOptions &o) { o.ignored = {QStringLiteral("ckl0")}; }, true},
        {[](SimOptions &o) { o.ignored = {QStringLiteral("ckw")}; }, true},
        {[](SimOptions &o) { o.ignored = {QStringLiteral("ckz0m")}; }, false},
        {[](SimOptions &o) { o.startDelaySeconds = 40; }, true},
        {[](SimOptions &o) { o.startDelaySeconds = 20; }, false},
        {[](SimOptions &o) { o.startDelaySeconds = 30.98; o.jitterMs = 50; }, true},   // may come too late
        {[](SimOptions &o) { o.startDelaySeconds = 30.5; o.jitterMs = 50; }, false},
        {[](SimOptions &o) { o.vanishAfterLines = 100; }, true},
        {[](SimOptions &o) { o.vanishAfterLines = 5000; }, false},
        {[](SimOptions &o) { o.stopAfterLines = 100; }, true},
        {[](SimOptions &o) { o.stopAfterLines = 899; }, false},   // all acknowledged, the closing goes unanswered
    };
    for (qsizetype i = 0; i < cases.size(); ++i) {
        SimOptions options;
        cases[i].set(options);
        EXPECT_EQ(incompleteImageExpected(options, 899).has_value(), cases[i].incompleteExpected) << "case " << i;
    }
}

TEST(RunReportTest, TheVerdictFitsWhatHappened)
{
    const QByteArray whole = imageLine(1) + imageLine(2);
    const ExpectedImage expected = ExpectedImage::fromBytes(whole);
    const WireJudge clean({}, 0);

    // No download: the image is not judged.
    SimOptions plain;
    CameraModel idle(plain);
    const RunReport noDownload(idle, clean, plain, expected, RunEnd{QStringLiteral("test"), false, false});
    EXPECT_EQ(noDownload.exitStatus(), 0);
    EXPECT_EQ(noDownload.imageText(), QStringLiteral("not judged, no download was started"));
    EXPECT_EQ(noDownload.resultText(), QStringLiteral("as expected: no download was started"));

    // A download that started but brought nothing is a fault...
    const RunReport nothing(idle, clean, plain, expected, RunEnd{QStringLiteral("test"), false, true});
    EXPECT_EQ(nothing.exitStatus(), 1);
    EXPECT_EQ(nothing.imageText(), QStringLiteral("incomplete 0 of 2 lines"));

    // ... unless an option ends it early.
    SimOptions late;
    late.startDelaySeconds = 40;
    const RunReport tooLate(idle, clean, late, expected, RunEnd{QStringLiteral("test"), false, true});
    EXPECT_EQ(tooLate.exitStatus(), 0);
    EXPECT_TRUE(tooLate.imageText().startsWith(QStringLiteral("incomplete 0 of 2 lines, as expected with --start-delay 40")))
        << tooLate.imageText().toStdString();
    EXPECT_TRUE(tooLate.resultText().startsWith(QStringLiteral("as expected: the download stopped after 0 of 2 lines")));

    // The summary ends in the result line.
    const QString summary = noDownload.summary(false);
    EXPECT_TRUE(summary.endsWith(QStringLiteral("result: as expected: no download was started\n"))) << summary.toStdString();
}
