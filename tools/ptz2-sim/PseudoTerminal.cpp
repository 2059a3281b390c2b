#include "PseudoTerminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

QString systemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QLatin1String(what), QString::fromLocal8Bit(std::strerror(errno)));
}

bool setFlags(int fd, int statusFlags)
{
    const int flags = fcntl(fd, F_GETFL);
    return flags >= 0 && fcntl(fd, F_SETFL, flags | statusFlags) == 0 && fcntl(fd, F_SETFD, FD_CLOEXEC) == 0;
}

} // namespace

PseudoTerminal::~PseudoTerminal()
{
    close();
}

bool PseudoTerminal::open(QString *error)
{
    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0) {
        *error = systemError("posix_openpt");
        return false;
    }
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0) {
        *error = systemError("grantpt/unlockpt");
        close();
        return false;
    }
    const char *name = ptsname(m_master);
    if (!name) {
        *error = systemError("ptsname");
        close();
        return false;
    }
    m_slavePath = QString::fromLocal8Bit(name);
    m_slave = ::open(name, O_RDWR | O_NOCTTY);
    if (m_slave < 0) {
        *error = systemError("open slave");
        close();
        return false;
    }
    // Raw on the slave side: without it the line discipline would echo the camera's
    // replies back to the camera and rewrite bytes such as CR.
    termios mode{};
    if (tcgetattr(m_slave, &mode) != 0) {
        *error = systemError("tcgetattr");
        close();
        return false;
    }
    cfmakeraw(&mode);
    cfsetispeed(&mode, B9600);
    cfsetospeed(&mode, B9600);
    if (tcsetattr(m_slave, TCSANOW, &mode) != 0) {
        *error = systemError("tcsetattr");
        close();
        return false;
    }
    if (!setFlags(m_master, O_NONBLOCK) || !setFlags(m_slave, 0)) {
        *error = systemError("fcntl");
        close();
        return false;
    }
    return true;
}

int PseudoTerminal::unreadByProgram() const
{
    int pending = 0;
    if (m_slave < 0 || ioctl(m_slave, FIONREAD, &pending) != 0)
        return 0;
    return pending;
}

void PseudoTerminal::close()
{
    if (m_master >= 0)
        ::close(m_master);
    if (m_slave >= 0)
        ::close(m_slave);
    m_master = -1;
    m_slave = -1;
}
