#include "cli/Interrupts.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_pipe[2] = {-1, -1};   // the handler writes a byte; the event loop reads it

extern "C" void onSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // Nothing can be done here if it fails: the pipe is full of interrupts already.
    [[maybe_unused]] const ssize_t written = write(g_pipe[1], &byte, 1);
    errno = saved;
}

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

bool Interrupts::catchInto(std::function<void()> handler, QString *error)
{
    if (pipe(g_pipe) != 0) {
        *error = systemError("pipe");
        return false;
    }
    for (int fd : g_pipe) {
        const int flags = fcntl(fd, F_GETFL);
        if (flags < 0 || fcntl(fd, F_SETFL, flags | O_NONBLOCK) != 0 || fcntl(fd, F_SETFD, FD_CLOEXEC) != 0) {
            *error = systemError("fcntl");
            return false;
        }
    }
    // The application owns it, so it goes when the application does.
    auto *notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [handler = std::move(handler)] {
        char bytes[16];
        ssize_t got;
        while ((got = read(g_pipe[0], bytes, sizeof bytes)) > 0)
            for (ssize_t i = 0; i < got; ++i)
                handler();
    });

    // No SA_RESTART: a blocking read of the answer to the question ends with EINTR.
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    for (int signal : {SIGINT, SIGTERM}) {
        if (sigaction(signal, &action, nullptr) != 0) {
            *error = systemError("sigaction");
            return false;
        }
    }
    return true;
}
