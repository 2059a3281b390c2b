// revertex --help, --list-ports and a refused --firmware: the program itself, started
// as from a terminal without a display.
#include "app/CommandLine.h"
#include "tests/firmware/FirmwareTestFiles.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList args(std::initializer_list<const char *> items)
{
    QStringList result{QStringLiteral("revertex")};
    for (const char *item : items)
        result << QString::fromLatin1(item);
    return result;
}

TEST(StartRequest, OptionsChooseWhatRuns)
{
    EXPECT_EQ(startRequestFrom(args({})), StartRequest::Window);
    EXPECT_EQ(startRequestFrom(args({"-platform", "offscreen"})), StartRequest::Window);   // Qt's, not ours
    EXPECT_EQ(startRequestFrom(args({"--list-ports"})), StartRequest::ListPorts);
    EXPECT_EQ(startRequestFrom(args({"--help"})), StartRequest::Help);
    EXPECT_EQ(startRequestFrom(args({"-h"})), StartRequest::Help);
    EXPECT_EQ(startRequestFrom(args({"--list-ports", "--help"})), StartRequest::Help);
    EXPECT_EQ(startRequestFrom({QStringLiteral("--list-ports")}), StartRequest::Window);   // the program's own name
}

#ifndef Q_OS_WIN

struct ProgramRun {
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs build/revertex with no display at all, so nothing may need one.
ProgramRun runRevertex(const QStringList &arguments, const QProcessEnvironment &extra = {})
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    for (const QString &key : extra.keys())
        environment.insert(key, extra.value(key));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QDir(qEnvironmentVariable("REVERTEX_BUILD_DIR")).filePath(QStringLiteral("revertex")), arguments);
    ProgramRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

TEST(RevertexCommandLine, HelpListsTheOptions)
{
    const ProgramRun run = runRevertex({QStringLiteral("--help")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, helpText());
    EXPECT_TRUE(run.out.contains(QStringLiteral("--list-ports")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("--firmware FILE")));
    EXPECT_TRUE(run.out.contains(QStringLiteral("--log FILE")));
}

// Qt's own options reach Qt, and a firmware file named is checked before any window:
// the refusal goes to standard error, with status 2, and nothing is written.
TEST(RevertexCommandLine, ARefusedFirmwareFileEndsWithItsReasonAndStatusTwo)
{
    QTemporaryDir dir;
    const QString cut = dir.filePath(QStringLiteral("cut.container"));
    FirmwareTestFiles::writeFile(cut, FirmwareTestFiles::committedTestImage().left(20000));
    const ProgramRun run = runRevertex({QStringLiteral("-platform"), QStringLiteral("offscreen"), QStringLiteral("--firmware"), cut});
    EXPECT_EQ(run.exitCode, 2);
    // (Qt may add warnings of its own about the environment.)
    const QString refusal = QStringLiteral("revertex: %1, read as a firmware container: record 284 of 899: length 65 runs past "
                                           "the end: only 30 bytes are left")
                                .arg(cut);
    EXPECT_TRUE(run.err.contains(refusal)) << run.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{QStringLiteral("cut.container")});
}

TEST(RevertexCommandLine, ListPortsPrintsSixteenComPortsWithTheOverride)
{
    QProcessEnvironment extra;
    extra.insert(QStringLiteral("REVERTEX_COM2"), QStringLiteral("/tmp/ptz2"));
    const ProgramRun run = runRevertex({QStringLiteral("--list-ports")}, extra);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 16) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("COM  1  ")));
    EXPECT_EQ(lines[1], QStringLiteral("COM  2  /tmp/ptz2 (set by REVERTEX_COM2)"));
    EXPECT_TRUE(lines[15].startsWith(QStringLiteral("COM 16  ")));
}

#endif

} // namespace
