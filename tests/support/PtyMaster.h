#pragma once

// POSIX only.
#include <QString>

#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

// The master of a new pseudo-terminal, whose slave stands in for a serial device. A
// system that gives none leaves fd() at -1 and slavePath() empty.
class PtyMaster {
public:
    PtyMaster()
    {
        m_fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        const char *slave = nullptr;
        if (m_fd >= 0 && (::grantpt(m_fd) != 0 || ::unlockpt(m_fd) != 0 || (slave = ::ptsname(m_fd)) == nullptr))
            close();
        else if (slave)
            m_slavePath = QString::fromLocal8Bit(slave);
    }
    ~PtyMaster() { close(); }
    PtyMaster(const PtyMaster &) = delete;
    PtyMaster &operator=(const PtyMaster &) = delete;

    int fd() const { return m_fd; }
    QString slavePath() const { return m_slavePath; }

    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

private:
    int m_fd = -1;
    QString m_slavePath;
};
