// How revertex-cli reads its command line, and that its manual page documents every exit
// status as --help gives it.
#include "cli/CliArguments.h"
#include "cli/Outcome.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

CliArguments parse(const QStringList &words)
{
    return cliArgumentsFrom(QStringList{QStringLiteral("revertex-cli")} + words);
}

TEST(CliArguments, PortForms)
{
    struct Row {
        const char *given;
        qint16 comNumber;   // 0: a device path, -1: refused
        const char *label;
    };
    const Row rows[] = {
        {"1", 1, "COM1"},          {"16", 16, "COM16"},         {"COM3", 3, "COM3"},
        {"com12", 12, "COM12"},    {"/dev/ttyUSB0", 0, "/dev/ttyUSB0"},
        {"/dev/serial/by-id/usb-FTDI_A1-if00-port0", 0, "/dev/serial/by-id/usb-FTDI_A1-if00-port0"},
        {"0", -1, ""},             {"17", -1, ""},              {"COM0", -1, ""},
        {"ttyUSB0", -1, ""},       {"COM", -1, ""},             {"3a", -1, ""},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.given);
        const CliArguments a = parse({"check", row.given});
        if (row.comNumber < 0) {
            EXPECT_FALSE(a.error.isEmpty());
            continue;
        }
        ASSERT_TRUE(a.error.isEmpty()) << a.error.toStdString();
        ASSERT_EQ(a.ports.size(), 1);
        EXPECT_EQ(a.ports[0].comNumber, row.comNumber);
        EXPECT_EQ(a.ports[0].label(), QString::fromLatin1(row.label));
    }
    // One port, two names: refused.
    EXPECT_FALSE(parse({"check", "3", "COM3"}).error.isEmpty());
}

TEST(CliArguments, OptionsAnywhereAfterTheCommand)
{
    const CliArguments a = parse({"flash", "--yes", "1", "--firmware=fw.exe", "--log", "run.log", "--force", "--json", "/dev/ttyUSB1"});
    ASSERT_TRUE(a.error.isEmpty()) << a.error.toStdString();
    EXPECT_EQ(a.command, CliCommand::Flash);
    EXPECT_EQ(a.ports.size(), 2);
    EXPECT_EQ(a.firmwareFile, "fw.exe");
    EXPECT_EQ(a.logFile, "run.log");
    EXPECT_TRUE(a.yes && a.force && a.json);
    EXPECT_EQ(parse({"flash", "1", "--help"}).command, CliCommand::Help);
    for (const QStringList &wrong : {QStringList{}, QStringList{"check"}, QStringList{"ports", "1"},
                                     QStringList{"flash", "1", "--log"}, QStringList{"flash", "1", "--firmware="},
                                     QStringList{"check", "--fast", "1"}})
        EXPECT_FALSE(parse(wrong).error.isEmpty()) << wrong.join(' ').toStdString();
}

// The manual page gives each exit status with the meaning --help gives it.
TEST(CliArguments, ManualPageListsEveryExitStatus)
{
    QFile page(qEnvironmentVariable("REVERTEX_SOURCE_DIR") + QStringLiteral("/docs/revertex-cli.1.scd"));
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(page.readAll()).simplified();
    const QString help = cliHelpText();
    for (const OutcomeRow &row : outcomeTable()) {
        const QString entry = QStringLiteral("%1  %2").arg(row.exitStatus).arg(QString::fromLatin1(row.meaning));
        EXPECT_TRUE(help.contains(entry)) << entry.toStdString();
        const QString documented = QStringLiteral("*%1* %2").arg(row.exitStatus).arg(QString::fromLatin1(row.meaning));
        EXPECT_TRUE(text.contains(documented)) << documented.toStdString();
    }
}

} // namespace
