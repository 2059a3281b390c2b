#include "SignalPipe.h"

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// One pipe per process: the handler can only reach it through a static.
int g_pipe[2] = {-1, -1};

constexpr std::array<int, 3> kEndingSignals{SIGTERM, SIGINT, SIGHUP};

extern "C" void forwardSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

} // namespace

SignalPipe::~SignalPipe()
{
    for (int signalNumber : kEndingSignals)
        std::signal(signalNumber, SIG_DFL);
    for (int &fd : g_pipe) {
        if (fd >= 0)
            close(fd);
        fd = -1;
    }
}

bool SignalPipe::install(QString *error)
{
    if (pipe(g_pipe) != 0) {
        *error = QStringLiteral("pipe: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    for (int fd : g_pipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action {};
    action.sa_handler = forwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signalNumber : kEndingSignals) {
        if (sigaction(signalNumber, &action, nullptr) != 0) {
            *error = QStringLiteral("sigaction: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
    }
    return true;
}

int SignalPipe::readFd() const
{
    return g_pipe[0];
}

int SignalPipe::take()
{
    unsigned char byte = 0;
    int received = 0;
    while (read(g_pipe[0], &byte, 1) == 1)
        received = byte;
    return received;
}
