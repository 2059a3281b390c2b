#include "bench/SimulatedCamera.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

// Both built next to this program (see bench/CMakeLists.txt).
const char *const kSimulator = REVERTEX_BENCH_SIMULATOR;
const char *const kExpectedImage = REVERTEX_BENCH_FIRMWARE_CONTAINER;

constexpr int kStartLimitMs = 10000;
// The simulator stays until the wizard has read the last answer (under a second),
// or five seconds when it never does.
constexpr int kExitLimitMs = 15000;
constexpr int kStopLimitMs = 5000;
constexpr unsigned long kWaitStepMs = 5;

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(file.readAll()) : QString();
}

} // namespace

SimulatedCamera::SimulatedCamera(int baud)
{
    if (!m_files.isValid()) {
        m_failure = QStringLiteral("no temporary directory: %1").arg(m_files.errorString());
        return;
    }
    QStringList arguments{QStringLiteral("--exit-after-finish"), QStringLiteral("--timing"), timingFilePath(),
                          QStringLiteral("--path-file"), file("device")};
    if (baud > 0)
        arguments << QStringLiteral("--baud") << QString::number(baud);
    if (QFileInfo::exists(QString::fromLocal8Bit(kExpectedImage)))
        arguments << QStringLiteral("--expect") << QString::fromLocal8Bit(kExpectedImage);

    std::vector<QByteArray> storage{QByteArray(kSimulator)};
    for (const QString &argument : arguments)
        storage.push_back(argument.toLocal8Bit());
    std::vector<char *> argv;
    for (QByteArray &argument : storage)
        argv.push_back(argument.data());
    argv.push_back(nullptr);

    const QByteArray outputPath = QFile::encodeName(file("output.txt"));
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outputPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    const int spawned = posix_spawn(&m_pid, kSimulator, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        m_pid = -1;
        m_failure = QStringLiteral("cannot start %1: %2").arg(QString::fromLocal8Bit(kSimulator), QString::fromLocal8Bit(strerror(spawned)));
        return;
    }

    // The path file appears (atomically) once the device is ready.
    int status = 0;
    for (int waited = 0; waited < kStartLimitMs; waited += kWaitStepMs) {
        m_device = readText(file("device")).trimmed();
        if (!m_device.isEmpty())
            return;
        if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            break;
        }
        QThread::msleep(kWaitStepMs);
    }
    m_failure = QStringLiteral("the simulator named no device: %1").arg(output());
}

SimulatedCamera::~SimulatedCamera()
{
    if (m_pid <= 0)
        return;
    int status = 0;
    kill(m_pid, SIGTERM);
    if (!waitForExit(kStopLimitMs, &status)) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, &status, 0);
    }
}

QString SimulatedCamera::file(const char *name) const
{
    return QDir(m_files.path()).filePath(QString::fromLatin1(name));
}

QString SimulatedCamera::output() const
{
    return readText(file("output.txt"));
}

bool SimulatedCamera::waitForExit(int limitMs, int *status)
{
    for (int waited = 0; waited <= limitMs; waited += kWaitStepMs) {
        if (waitpid(m_pid, status, WNOHANG) == m_pid) {
            m_pid = -1;
            return true;
        }
        QThread::msleep(kWaitStepMs);
    }
    return false;
}

bool SimulatedCamera::finish()
{
    int status = 0;
    if (!waitForExit(kExitLimitMs, &status)) {
        m_failure = QStringLiteral("the simulator did not end after the closing script");
        return false;
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        m_failure = QStringLiteral("the simulated camera's verdict is not clean:\n%1").arg(output());
        return false;
    }
    return true;
}
