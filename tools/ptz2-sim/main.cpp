// ptz2-sim: a simulated PictureTel PTZ 2 camera on a pseudo-terminal.

#include "DeviceAnnouncer.h"
#include "ExpectedImage.h"
#include "PseudoTerminal.h"
#include "SignalPipe.h"
#include "SimOptionsParser.h"
#include "SimulatorLoop.h"

#include <csignal>
#include <cstdio>
#include <optional>

namespace {

constexpr int kUsageError = 2;

int fail(const QString &message)
{
    std::fprintf(stderr, "ptz2-sim: %s\n", message.toLocal8Bit().constData());
    return kUsageError;
}

} // namespace

int main(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const SimOptionsParser::Result parsed = SimOptionsParser::parse(arguments);
    if (!parsed.error.isEmpty())
        return fail(parsed.error + QStringLiteral("\nTry ptz2-sim --help."));
    const SimOptions &options = parsed.options;
    if (options.help) {
        std::fputs(SimOptionsParser::helpText().toLocal8Bit().constData(), stdout);
        return 0;
    }

    std::optional<ExpectedImage> expected;
    if (!options.expectFile.isEmpty()) {
        expected = ExpectedImage::load(options.expectFile);
        if (!expected->error.isEmpty())
            return fail(QStringLiteral("--expect %1").arg(expected->error));
    }

    // A reader that goes away must not kill us before the summary.
    std::signal(SIGPIPE, SIG_IGN);
    SignalPipe signalPipe;
    QString error;
    if (!signalPipe.install(&error))
        return fail(error);

    PseudoTerminal terminal;
    if (!terminal.open(&error))
        return fail(QStringLiteral("cannot open a pseudo-terminal: %1").arg(error));

    DeviceAnnouncer announcer(terminal.slavePath());
    if (!options.linkPath.isEmpty() && !announcer.makeLink(options.linkPath, &error))
        return fail(error);
    if (!options.pathFile.isEmpty() && !announcer.writePathFile(options.pathFile, &error))
        return fail(error);
    std::printf("%s\n", terminal.slavePath().toLocal8Bit().constData());
    std::fflush(stdout);
    if (expected)
        std::fprintf(stderr, "ptz2-sim: expecting %s\n", expected->description.toLocal8Bit().constData());

    SimulatorLoop loop(options, expected, terminal, signalPipe);
    return loop.run();
}
