#include "bench/BenchOptions.h"

BenchOptions BenchOptions::parse(const QStringList &arguments)
{
    BenchOptions options;
    for (int i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        if (argument == QLatin1String("--unpaced-only")) {
            options.paced = false;
            options.startup = false;
        } else if (argument == QLatin1String("--paced-only")) {
            options.unpaced = false;
            options.startup = false;
        } else if (argument == QLatin1String("--startup-only")) {
            options.paced = false;
            options.unpaced = false;
        } else if (argument == QLatin1String("--no-startup")) {
            options.startup = false;
        } else if (argument == QLatin1String("--startup-runs") && i + 1 < arguments.size()) {
            bool ok = false;
            options.startupRuns = arguments[++i].toInt(&ok);
            if (!ok || options.startupRuns < 1)
                options.error = QStringLiteral("--startup-runs takes a count of at least 1");
        } else if (argument == QLatin1String("--windows")) {
            if (i + 1 < arguments.size())
                options.windowsBuild = arguments[++i];
            else
                options.error = QStringLiteral("--windows takes the folder of the Windows build");
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
        } else {
            options.error = QStringLiteral("unknown option %1").arg(argument);
        }
    }
    if (!options.paced && !options.unpaced && !options.startup && options.windowsBuild.isEmpty() && options.error.isEmpty())
        options.error = QStringLiteral("nothing left to measure");
    return options;
}

QString BenchOptions::usage()
{
    return QStringLiteral(
        "Usage: flash_bench [options]   (run offscreen: QT_QPA_PLATFORM=offscreen, or scripts/bench.sh)\n"
        "\n"
        "Flashes our test image (named with --firmware) with the real wizard against ptz2-sim\n"
        "and prints how long it took on the line and on our side, the wizard's CPU share, and\n"
        "start-up.\n"
        "\n"
        "  --unpaced-only      only the flash without pacing (a few seconds)\n"
        "  --paced-only        only the flash paced at 9600 baud (about 75 seconds)\n"
        "  --startup-only      only start-up\n"
        "  --no-startup        both flashes, no start-up\n"
        "  --startup-runs N    start the program N times (default 7) and report median and max\n"
        "  --windows DIR       also the paced flash of the Windows build in DIR under Wine, beside\n"
        "                      this machine's (scripts/bench.sh --windows builds build-windows/)\n"
        "  --help              this text\n");
}
