#pragma once

#include <QString>
#include <QTemporaryFile>

#include <cstdio>

#ifndef Q_OS_WIN
#include <unistd.h>

// Standard error, caught in a file while it lives.
class CapturedStderr {
public:
    CapturedStderr()
    {
        fflush(stderr);
        if (m_file.open())
            m_saved = ::dup(2);
        if (m_saved >= 0 && ::dup2(m_file.handle(), 2) < 0) {
            ::close(m_saved);
            m_saved = -1;
        }
    }
    ~CapturedStderr() { restore(); }
    bool ok() const { return m_saved >= 0; }

    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromLocal8Bit(m_file.readAll());
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        fflush(stderr);
        ::dup2(m_saved, 2);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};
#endif
