// revertex-cli as people run it, against simulated cameras on pseudo-terminals: its exit
// status for every outcome, several cameras at once, the question, Ctrl-C, the JSON
// events and the log. Every simulated camera that is to be flashed checks what it got.
#include "flash/FirmwareImage.h"
#include "link/Frames.h"
#include "tests/firmware/FirmwareTestFiles.h"
#include "tests/support/SimProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kRunCapMs = 120000;   // a whole unpaced flash takes a few seconds
const char *const kWholeRoad =
    "commands: QGt ckkV cki0n ckb0 ckl0 ckw*899 ckb0 ckz0m cDd0k3 cDr0k ckk cki0n ckd0 ckz0m\n";
const char *const kCheckOnly = "commands: QGt ckkV cki0n ckb0\n";

struct CliRunResult {
    int exitCode = -1;
    QString out;
    QString err;
};

class CliOnSim : public ::testing::Test {
protected:
    std::vector<std::unique_ptr<SimProcess>> sims;
    QProcess cli;

    static QString cliBinary() { return FirmwareTestFiles::buildPath(QStringLiteral("revertex-cli")); }
    static QString image() { return FirmwareTestFiles::committedTestImagePath(); }

    // A simulated camera with these options; its device path.
    QString startSim(QStringList arguments)
    {
        arguments << QStringLiteral("--log-commands") << QStringLiteral("--expect") << image();
        sims.push_back(std::make_unique<SimProcess>(arguments));
        EXPECT_FALSE(sims.back()->devicePath().isEmpty()) << sims.back()->output().toStdString();
        return sims.back()->devicePath();
    }

    // The simulated camera's summary once it has ended.
    QString simSummary(std::size_t index)
    {
        sims.at(index)->stop();
        return sims.at(index)->output();
    }

    void startCli(const QStringList &arguments)
    {
        cli.start(cliBinary(), arguments);
        ASSERT_TRUE(cli.waitForStarted(10000)) << cli.errorString().toStdString();
    }

    CliRunResult finishCli(int ms = kRunCapMs)
    {
        CliRunResult result;
        EXPECT_TRUE(cli.state() == QProcess::NotRunning || cli.waitForFinished(ms))
            << "revertex-cli still ran after " << ms << " ms";
        result.exitCode = cli.exitStatus() == QProcess::NormalExit ? cli.exitCode() : -1;
        result.out = QString::fromLocal8Bit(cli.readAllStandardOutput());
        result.err = QString::fromLocal8Bit(cli.readAllStandardError());
        return result;
    }

    CliRunResult runCli(const QStringList &arguments, int ms = kRunCapMs)
    {
        startCli(arguments);
        return finishCli(ms);
    }

    // Waits until standard output has a line that matches; what came so far is kept in `seen`.
    bool waitForOutput(const QRegularExpression &pattern, QString *seen, int ms = 60000)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < ms) {
            *seen += QString::fromLocal8Bit(cli.readAllStandardOutput());
            if (pattern.match(*seen).hasMatch())
                return true;
            if (cli.state() != QProcess::Running || !cli.waitForReadyRead(int(ms - waited.elapsed())))
                break;
        }
        *seen += QString::fromLocal8Bit(cli.readAllStandardOutput());
        return pattern.match(*seen).hasMatch();
    }

    void interruptCli() { ASSERT_EQ(::kill(pid_t(cli.processId()), SIGINT), 0); }

    void TearDown() override
    {
        if (cli.state() != QProcess::NotRunning) {
            cli.kill();
            cli.waitForFinished(10000);
        }
    }
};

std::string show(const CliRunResult &r)
{
    return QStringLiteral("exit %1\nstdout:\n%2\nstderr:\n%3").arg(r.exitCode).arg(r.out, r.err).toStdString();
}

// One row per outcome: the camera's behaviour, the command, the exit status, the word the
// summary gives the port and what the camera must have received.
TEST_F(CliOnSim, EveryOutcomeHasItsExitStatus)
{
    struct Row {
        const char *name;
        QStringList sim;       // empty with simulated = false: no camera at all
        QStringList command;   // PORT is appended
        int exitCode;
        const char *word;
        const char *commands;  // what the camera got; nullptr: not looked at
        bool imageMatch = false;
    };
    const QString firmware = QStringLiteral("--firmware=") + image();
    const std::vector<Row> rows = {
        {"flashed", {"--exit-after-finish"}, {"flash", "--yes", firmware}, 0, "flashed", kWholeRoad, true},
        {"up to date", {"--version", "3.46"}, {"flash", "--yes", firmware}, 0, "up-to-date", kCheckOnly},
        {"up to date, forced", {"--version", "3.46", "--exit-after-finish"}, {"flash", "--yes", "--force", firmware}, 0,
         "flashed", kWholeRoad, true},
        {"needs flashing", {}, {"check"}, 1, "needs-flashing", kCheckOnly},
        {"not a PTZ 2", {"--no-report"}, {"flash", "--yes", firmware}, 3, "not-ptz2", kCheckOnly},
        {"no response", {"--silent"}, {"check"}, 4, "no-response", nullptr},
        {"power cycle", {"--ignore", "ckl0"}, {"flash", "--yes", firmware}, 7, "power-cycle",
         "commands: QGt ckkV cki0n ckb0 ckl0\n"},
        {"port failed", {"--vanish-after-lines", "300"}, {"flash", "--yes", firmware}, 8, "port-failed", nullptr},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        sims.clear();
        const QString device = startSim(row.sim);
        ASSERT_FALSE(device.isEmpty());
        const CliRunResult run = runCli(row.command + QStringList{device}, 90000);
        EXPECT_EQ(run.exitCode, row.exitCode) << show(run);
        EXPECT_TRUE(run.out.contains(QRegularExpression(QStringLiteral("\n%1 +%2  %3")
                                                            .arg(QRegularExpression::escape(device))
                                                            .arg(row.exitCode, 4)
                                                            .arg(QLatin1String(row.word)))))
            << show(run);
        if (row.imageMatch) {
            ASSERT_TRUE(sims.back()->waitForExit(15000));
        }
        const QString summary = simSummary(0);
        if (row.commands) {
            EXPECT_TRUE(summary.contains(QLatin1String(row.commands))) << summary.toStdString();
        }
        if (row.imageMatch) {
            EXPECT_TRUE(summary.contains("image: match\n")) << summary.toStdString();
        }
    }

    // No camera behind the port: the cause as the window names it.
    const CliRunResult missing = runCli({"check", "/dev/revertex-no-such-port"});
    EXPECT_EQ(missing.exitCode, 5) << show(missing);
    EXPECT_TRUE(missing.out.contains("port-not-opened: Cannot open /dev/revertex-no-such-port: ")) << show(missing);

    // Usage and firmware refusals, before any port is touched.
    for (const QStringList &wrong : {QStringList{"flash"}, QStringList{"check", "17"}, QStringList{"frobnicate", "1"},
                                     QStringList{"flash", "--firmware", "/nonexistent/firmware.exe", "1"},
                                     QStringList{"check", "1", "COM1"}}) {
        const CliRunResult run = runCli(wrong);
        EXPECT_EQ(run.exitCode, 2) << wrong.join(' ').toStdString() << "\n" << show(run);
        EXPECT_TRUE(run.err.startsWith("revertex-cli: ")) << show(run);
    }
}

// Four cameras at once: one silent, one gone in the middle of its download; the other
// two are flashed byte for byte, and the worst outcome decides.
TEST_F(CliOnSim, FourPortsAtOnceEachEndsOnItsOwn)
{
    QStringList devices;
    for (const QStringList &sim : {QStringList{"--exit-after-finish"}, QStringList{"--silent"},
                                   QStringList{"--vanish-after-lines", "300"}, QStringList{"--exit-after-finish"}})
        devices << startSim(sim);
    const CliRunResult run = runCli(QStringList{"flash", "--yes", "--firmware", image()} + devices);
    EXPECT_EQ(run.exitCode, 8) << show(run);
    const char *words[] = {"flashed", "no-response", "port-failed", "flashed"};
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(run.out.contains(QRegularExpression(QStringLiteral("\n%1 +[0-9]+  %2")
                                                            .arg(QRegularExpression::escape(devices[i]), QLatin1String(words[i])))))
            << i << "\n" << show(run);
    for (std::size_t i : {std::size_t(0), std::size_t(3)}) {
        ASSERT_TRUE(sims[i]->waitForExit(15000));
        const QString summary = simSummary(i);
        EXPECT_TRUE(summary.contains("image: match\n")) << summary.toStdString();
        EXPECT_TRUE(summary.contains(kWholeRoad)) << summary.toStdString();
    }
}

// A pseudo-terminal for the program's standard input: the question can be asked there.
class AnswerTerminal {
public:
    AnswerTerminal()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && grantpt(m_master) == 0 && unlockpt(m_master) == 0)
            m_slave = QString::fromLocal8Bit(ptsname(m_master));
    }
    ~AnswerTerminal()
    {
        if (m_master >= 0)
            ::close(m_master);
    }
    QString device() const { return m_slave; }
    bool answer(const QByteArray &line) { return ::write(m_master, line.constData(), size_t(line.size())) == line.size(); }
    // What the program wrote to the terminal, within 50 ms.
    bool readable()
    {
        pollfd fd{m_master, POLLIN, 0};
        return ::poll(&fd, 1, 50) == 1 && (fd.revents & POLLIN);
    }
    QByteArray readAvailable()
    {
        if (!readable())
            return {};
        char buffer[4096];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        return got > 0 ? QByteArray(buffer, int(got)) : QByteArray();
    }

private:
    int m_master = -1;
    QString m_slave;
};

// On a terminal: a bar per downloading port, redrawn in place at most ten times a second.
TEST_F(CliOnSim, OnATerminalTheBarsAreRedrawnAtMostTenTimesASecond)
{
    AnswerTerminal terminal;
    ASSERT_FALSE(terminal.device().isEmpty());
    const QString device = startSim({"--exit-after-finish"});
    cli.setStandardOutputFile(terminal.device());
    QElapsedTimer took;
    took.start();
    startCli({"flash", "--yes", "--firmware", image(), device});
    QByteArray shown;
    // Read as it comes: a terminal's buffer is small, and a program that fills it waits.
    while (cli.state() != QProcess::NotRunning && !cli.waitForFinished(10))
        shown += terminal.readAvailable();
    for (QByteArray more = terminal.readAvailable(); !more.isEmpty(); more = terminal.readAvailable())
        shown += more;   // the rest, up to the hang-up
    const qint64 ms = took.elapsed();
    EXPECT_EQ(cli.exitCode(), 0) << shown.toStdString();
    const int redraws = int(shown.count("\x1b[1A\x1b[J"));
    EXPECT_GE(redraws, 1) << shown.toStdString();
    EXPECT_LE(redraws, ms / 100 + 2) << redraws << " redraws in " << ms << " ms";
    EXPECT_TRUE(QString::fromLocal8Bit(shown).contains(
        QRegularExpression(QStringLiteral("%1 \\[#{30}\\] 899 of 899 lines 100.00 %  0:0[0-9] elapsed  0:00 left")
                               .arg(QRegularExpression::escape(device)))))
        << shown.toStdString();
}

TEST_F(CliOnSim, FlashingNeedsConsent)
{
    // Without a terminal to ask and without --yes: refused, nothing beyond the check sent.
    {
        const QString device = startSim({});
        const CliRunResult run = runCli({"flash", "--firmware", image(), device});
        EXPECT_EQ(run.exitCode, 2) << show(run);
        EXPECT_TRUE(simSummary(0).contains(kCheckOnly));
        sims.clear();
    }
    // Asked on a terminal: the warning comes with the question, and only yes flashes.
    struct Answer {
        QByteArray line;
        int exitCode;
        const char *commands;
    };
    for (const Answer &a : {Answer{"n\n", 6, kCheckOnly}, Answer{"y\n", 0, kWholeRoad}}) {
        SCOPED_TRACE(a.line.toStdString());
        AnswerTerminal terminal;
        ASSERT_FALSE(terminal.device().isEmpty());
        const QString device = startSim({"--exit-after-finish"});
        cli.setStandardInputFile(terminal.device());
        startCli({"flash", "--firmware", image(), device});
        QString err;
        QElapsedTimer waited;
        waited.start();
        while (!err.contains("[y/N] ") && waited.elapsed() < 30000 && cli.state() == QProcess::Running) {
            cli.waitForReadyRead(1000);
            err += QString::fromLocal8Bit(cli.readAllStandardError());
        }
        ASSERT_TRUE(err.contains("[y/N] ")) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("%1: will be flashed (reports 3.45)").arg(device))) << err.toStdString();
        EXPECT_TRUE(err.contains("Warning: You are about to flash your PictureTel PTZ 2 camera.  Once the process starts"))
            << err.toStdString();
        ASSERT_TRUE(terminal.answer(a.line));
        const CliRunResult run = finishCli();
        EXPECT_EQ(run.exitCode, a.exitCode) << show(run);
        if (a.exitCode == 0) {
            ASSERT_TRUE(sims.back()->waitForExit(15000));
        }
        EXPECT_TRUE(simSummary(0).contains(QLatin1String(a.commands)));
        sims.clear();
    }
}

TEST_F(CliOnSim, CtrlCStopsACheckAtOnceButADownloadOnlyTheSecondTime)
{
    // During the check: at once, before the silent camera's limits would end it.
    {
        const QString device = startSim({"--silent"});
        startCli({"check", "--json", device});
        QString out;
        ASSERT_TRUE(waitForOutput(QRegularExpression(QStringLiteral("\"event\":\"opened\"")), &out));
        QElapsedTimer took;
        took.start();
        interruptCli();
        const CliRunResult run = finishCli(10000);
        EXPECT_EQ(run.exitCode, 6) << show(run);
        EXPECT_LT(took.elapsed(), 5000);   // the silent camera's waits alone end the check after 6 s
        sims.clear();
    }
    // During the download: the first Ctrl-C only warns, and the lines go on.
    const QString device = startSim({"--baud", "9600"});
    startCli({"flash", "--yes", "--json", "--firmware", image(), device});
    QString out;
    ASSERT_TRUE(waitForOutput(QRegularExpression(QStringLiteral("\"line\":20,")), &out));
    interruptCli();
    ASSERT_TRUE(waitForOutput(QRegularExpression(QStringLiteral("\"line\":40,")), &out)) << out.toStdString();
    ASSERT_EQ(cli.state(), QProcess::Running);
    // The second within 3 s stops. Signals sent close together may merge into one, and a
    // slow machine may take the first past 3 s: then this one warns anew, and the next stops.
    for (int press = 0; press < 3 && cli.state() == QProcess::Running; ++press) {
        interruptCli();
        cli.waitForFinished(1000);
    }
    const CliRunResult run = finishCli(10000);
    EXPECT_EQ(run.exitCode, 6) << show(run);
    EXPECT_TRUE(run.err.contains("Stopping now would leave the camera without firmware.")) << show(run);
    EXPECT_TRUE(run.err.contains("power-cycle it, then flash it again")) << show(run);
    const QString summary = simSummary(0);
    EXPECT_FALSE(summary.contains("lines received: 899\n")) << summary.toStdString();
}

TEST_F(CliOnSim, JsonGivesOneObjectPerEvent)
{
    const QString device = startSim({"--exit-after-finish"});
    const CliRunResult run = runCli({"flash", "--yes", "--json", "--firmware", image(), device});
    ASSERT_EQ(run.exitCode, 0) << show(run);
    QStringList events;
    int lastLine = 0;
    for (const QString &line : run.out.split('\n', Qt::SkipEmptyParts)) {
        QJsonParseError error;
        const QJsonObject event = QJsonDocument::fromJson(line.toUtf8(), &error).object();
        ASSERT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
        const QString name = event.value("event").toString();
        if (name == "progress") {
            EXPECT_EQ(event.value("line").toInt(), ++lastLine);
            EXPECT_EQ(event.value("lines").toInt(), 899);
            if (events.last() == "progress")
                continue;
        }
        if (name != "summary") {
            EXPECT_EQ(event.value("port").toString(), device);
        }
        if (name == "version") {
            EXPECT_EQ(event.value("version").toString(), "3.45");
            EXPECT_EQ(event.value("check").toString(), "needs-flashing");
        }
        if (name == "outcome" || name == "summary") {
            EXPECT_EQ(event.value("exit").toInt(), 0);
        }
        events << name;
    }
    EXPECT_EQ(lastLine, 899);
    EXPECT_EQ(events, QStringList({"opened", "version", "progress", "outcome", "summary"}));
}

// The log of a whole flash holds, frame by frame, exactly the bytes the camera was sent.
TEST_F(CliOnSim, TheLogOfAWholeFlashHoldsEveryFrame)
{
    QTemporaryDir dir;
    const QString logPath = dir.filePath("flash.log");
    const QString device = startSim({"--exit-after-finish"});
    const CliRunResult run = runCli({"flash", "--yes", "--log", logPath, "--firmware", image(), device});
    ASSERT_EQ(run.exitCode, 0) << show(run);

    QByteArray expected;
    for (Command c : {Command::QGt, Command::ckkV, Command::cki0n, Command::ckb0, Command::ckl0})
        expected += frameFor(c);
    for (const QByteArray &line : unpackFirmware(FirmwareTestFiles::committedTestImage()))
        expected += lineFrameHead() + line + lineFrameTail();
    for (Command c : {Command::ckb0, Command::ckz0m, Command::cDd0k3, Command::cDr0k, Command::ckk, Command::cki0n,
                      Command::ckd0F2, Command::ckz0m})
        expected += frameFor(c);

    const QRegularExpression entry(QStringLiteral("^ *([0-9]+) ms  (\\S+)  (sent|received) ([0-9]+) bytes: ([0-9A-F ]+)  (.*)$"));
    QByteArray sent;
    qint64 lastStamp = 0;
    int acknowledgements = 0;
    const QStringList lines = QString::fromUtf8(FirmwareTestFiles::readFile(logPath)).split('\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QRegularExpressionMatch m = entry.match(line);
        if (!m.hasMatch())
            continue;   // opening, closing
        EXPECT_GE(m.captured(1).toLongLong(), lastStamp) << line.toStdString();
        lastStamp = m.captured(1).toLongLong();
        EXPECT_EQ(m.captured(2), device);
        const QByteArray bytes = QByteArray::fromHex(m.captured(5).toLatin1());
        EXPECT_EQ(bytes.size(), m.captured(4).toInt()) << line.toStdString();
        if (m.captured(3) == "sent")
            sent += bytes;
        else if (m.captured(6).endsWith("(acknowledgement)"))
            ++acknowledgements;
    }
    EXPECT_TRUE(sent == expected) << "the log's frames differ from what was sent";
    EXPECT_GE(acknowledgements, 899 + 5);
    EXPECT_TRUE(lines.filter(QStringLiteral("STX \"QGt\" EOT")).size() == 1);
    EXPECT_TRUE(lines.filter(QStringLiteral("STX \"ckw\" line 898 EOT")).size() == 1);
    EXPECT_TRUE(lines.filter(QRegularExpression(QStringLiteral("received .*STX \".* BOOT .*CBOX 3.45\" EOT$"))).size() == 1);
}

} // namespace
