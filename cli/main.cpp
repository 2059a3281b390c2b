// revertex-cli: checks and flashes PictureTel PTZ 2 cameras from a terminal, several at once.
#include "cli/CliArguments.h"
#include "cli/CliPort.h"
#include "cli/CliRun.h"
#include "cli/Interrupts.h"
#include "cli/JsonReport.h"
#include "cli/Terminal.h"
#include "cli/TerminalReport.h"
#include "flash/EmbeddedFirmware.h"
#include "flash/FirmwareFile.h"
#include "flash/FirmwareImage.h"
#include "flash/TestFirmware.h"
#include "link/ComPortCount.h"
#include "link/ComPortsPresent.h"
#include "link/LoggingCommPort.h"

#include <QCoreApplication>

#include <cstdio>

namespace {

const int kUsage = outcomeRow(Outcome::Usage).exitStatus;

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    if (std::fwrite(bytes.constData(), 1, std::size_t(bytes.size()), stream) == std::size_t(bytes.size()))
        std::fflush(stream);
}

void tell(const QString &message)
{
    print(stderr, QStringLiteral("revertex-cli: %1\n").arg(message));
}

// The firmware to flash, checked to the last byte, or nullopt after telling why not.
std::optional<LineRecords> firmwareLines(const QString &file)
{
    try {
        if (!file.isEmpty())
            return FirmwareFile::load(file).lines;
        if (const std::optional<QByteArray> embedded = embeddedFirmwareContainer())
            return unpackFirmware(*embedded);
        tell(QStringLiteral("name the firmware to flash with --firmware FILE (revertex-cli --help)"));
    } catch (const FirmwareRefusal &refusal) {
        tell(refusal.message());
    } catch (const FirmwareError &error) {
        tell(QStringLiteral("the firmware this program carries is damaged (%1)").arg(error.message()));
    }
    return std::nullopt;
}

std::optional<QString> askOnTerminal(const QString &question)
{
    print(stderr, question);
    char line[256];
    if (!std::fgets(line, sizeof line, stdin))
        return std::nullopt;   // end of input, or Ctrl-C while asked
    return QString::fromLocal8Bit(line);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const CliArguments given = cliArgumentsFrom(QCoreApplication::arguments());
    if (!given.error.isEmpty()) {
        tell(given.error + QStringLiteral(" (revertex-cli --help lists the options)"));
        return kUsage;
    }
    switch (given.command) {
    case CliCommand::Help:
        print(stdout, cliHelpText());
        return 0;
    case CliCommand::Ports:
        print(stdout, comPortTableText(currentComPorts(kComPortCount)));
        return 0;
    case CliCommand::Check:
    case CliCommand::Flash:
        break;
    }

    LineRecords lines;
    if (given.command == CliCommand::Flash) {
        std::optional<LineRecords> firmware = firmwareLines(given.firmwareFile);
        if (!firmware)
            return kUsage;
        lines = *firmware;
        if (TestFirmware::isTestImage(lines))
            tell(QStringLiteral("this is the test firmware image, made for the simulated camera (ptz2-sim). "
                                "Do not flash a real camera with it."));
    }

    std::shared_ptr<WireLog> log;
    if (!given.logFile.isEmpty()) {
        QString error;
        log = WireLog::open(given.logFile, &error);
        if (!log) {
            tell(error);
            return kUsage;
        }
    }

    MonotonicSecondsClock clock;
    std::vector<std::unique_ptr<PortJob>> jobs;
    for (const NamedPort &named : given.ports) {
        QString error;
        std::unique_ptr<CommPort> port = makeCliPort(named, &error);
        if (!port) {
            tell(error);
            return kUsage;
        }
        if (log)
            port = std::make_unique<LoggingCommPort>(std::move(port), log, named.label());
        jobs.push_back(std::make_unique<PortJob>(named, std::move(port), clock, lines));
    }

    std::unique_ptr<RunReport> report;
    if (given.json)
        report = std::make_unique<JsonReport>(stdout);
    else if (Terminal::isTerminal(stdout) && Terminal::enableRedraw(stdout))
        report = std::make_unique<TerminalReport>(stdout);
    else
        report = std::make_unique<TextReport>(stdout);

    CliRun::Options options;
    options.flash = given.command == CliCommand::Flash;
    options.force = given.force;
    options.yes = given.yes;
    if (Terminal::isTerminal(stdin))
        options.ask = askOnTerminal;
    options.tell = tell;
    CliRun run(std::move(jobs), *report, options);

    QString error;
    if (!Interrupts::catchInto([&run] { run.interrupt(); }, &error)) {
        tell(QStringLiteral("cannot catch Ctrl-C (%1): nothing was sent").arg(error));
        return kUsage;
    }
    QObject::connect(&run, &CliRun::ended, &app, &QCoreApplication::quit, Qt::QueuedConnection);
    run.start();
    if (!run.over())
        app.exec();
    if (log && !log->failure().isEmpty())
        tell(log->failure());
    return run.exitStatus();
}
