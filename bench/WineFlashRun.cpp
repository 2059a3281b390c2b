#include "bench/WineFlashRun.h"

#include "bench/FlashRun.h"
#include "bench/LineTimingFile.h"
#include "bench/SimulatedCamera.h"
#include "bench/WindowsRunFigures.h"
#include "flash/FirmwareImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char **environ;

namespace {

WineFlashFigures failed(WineFlashFigures figures, const QString &why)
{
    figures.flash.ok = false;
    figures.flash.failure = why;
    return figures;
}

// Wine sees the whole Linux file system as drive Z:.
QString windowsPath(const QString &path)
{
    return QStringLiteral("Z:") + QString(path).replace(QLatin1Char('/'), QLatin1Char('\\'));
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

// Runs `program` with `arguments`, its output into `outputPath`, and waits for its exit.
// The exit status, or -1 when it could not run (`why` then says so).
int runToExit(const QString &program, const QStringList &arguments, const QString &outputPath, QString *why)
{
    std::vector<QByteArray> storage{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const QByteArray output = QFile::encodeName(outputPath);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int spawned = posix_spawn(&pid, storage.front().constData(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        *why = QStringLiteral("cannot start %1: %2").arg(program, QString::fromLocal8Bit(strerror(spawned)));
        return -1;
    }
    // The Windows program keeps its own time limits (those of the flash on this machine).
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            *why = QStringLiteral("lost %1: %2").arg(program, QString::fromLocal8Bit(strerror(errno)));
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

WineFlashFigures WineFlashRun::run(const QString &buildDirectory, int baud)
{
    WineFlashFigures figures;
    figures.flash.baud = baud;
    const QDir build(buildDirectory);
    const QString wineRun = build.filePath(QStringLiteral("wine-run.sh"));
    const QString program = build.filePath(QStringLiteral("flash_bench.exe"));
    for (const QString &needed : {wineRun, program})
        if (!QFileInfo::exists(needed))
            return failed(figures, QStringLiteral("%1 is missing: build the Windows programs first (scripts/build-windows.sh)").arg(needed));
    // Our test image, named on the Windows wizard's command line and expected by the simulator.
    const QString firmware = QStringLiteral(REVERTEX_BENCH_FIRMWARE_CONTAINER);
    QFile firmwareFile(firmware);
    if (!firmwareFile.open(QIODevice::ReadOnly))
        return failed(figures, QStringLiteral("cannot read %1: %2").arg(firmware, firmwareFile.errorString()));
    figures.flash.budget = WireBudget::forLines(unpackFirmware(firmwareFile.readAll()));

    QTemporaryDir files;
    if (!files.isValid())
        return failed(figures, QStringLiteral("no temporary directory: %1").arg(files.errorString()));
    SimulatedCamera camera(baud);
    if (camera.devicePath().isEmpty())
        return failed(figures, camera.failure());
    const QString ports = build.filePath(QStringLiteral("wine-ports"));
    const QString com1 = QDir(ports).filePath(QStringLiteral("COM1"));
    if (!QDir().mkpath(ports) || (QFileInfo(com1).isSymLink() && !QFile::remove(com1))
        || !QFile::link(camera.devicePath(), com1))
        return failed(figures, QStringLiteral("cannot link %1 to %2").arg(com1, camera.devicePath()));

    const QString figuresFile = files.filePath(QStringLiteral("figures.txt"));
    const QString outputFile = files.filePath(QStringLiteral("output.txt"));
    QString why;
    const int status = runToExit(wineRun, {program, windowsPath(figuresFile), windowsPath(firmware)}, outputFile, &why);
    const bool imageArrived = status >= 0 && camera.finish();   // the simulator has ended by itself
    QFile::remove(com1);
    if (status < 0)
        return failed(figures, why);

    WindowsRunFigures measured;
    if (!WindowsRunFigures::fromText(readText(figuresFile).toUtf8(), &measured))
        return failed(figures, QStringLiteral("the Windows program ended with status %1 and no figures:\n%2")
                                   .arg(status)
                                   .arg(readText(outputFile)));
    if (!measured.failure.isEmpty())
        return failed(figures, measured.failure);
    if (!imageArrived)
        return failed(figures, camera.failure());
    figures.floor = measured.floor;
    figures.flash.flashSeconds = measured.flashSeconds;
    figures.flash.flashCpuSeconds = measured.flashCpuSeconds;
    figures.flash.sequenceTicks = measured.sequenceTicks;

    LineTimingFile timing;
    if (!timing.load(camera.timingFilePath()))
        return failed(figures, timing.error());
    const QString shortTiming = FlashRun::takeLineTimes(timing, figures.flash);
    if (!shortTiming.isEmpty())
        return failed(figures, shortTiming);
    figures.flash.ok = true;
    return figures;
}
