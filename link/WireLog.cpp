#include "link/WireLog.h"

std::shared_ptr<WireLog> WireLog::open(const QString &path, QString *error)
{
    std::shared_ptr<WireLog> log(new WireLog(path));
    // Unbuffered: each line is handed to the system at once.
    if (!log->m_file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text | QIODevice::Unbuffered)) {
        if (error)
            *error = QStringLiteral("cannot write the log %1: %2").arg(path, log->m_file.errorString());
        return nullptr;
    }
    log->m_clock.start();
    return log;
}

WireLog::WireLog(const QString &path) : m_file(path) {}

void WireLog::write(const QString &port, const QString &text)
{
    if (!m_failure.isEmpty())
        return;
    const QByteArray line =
        QStringLiteral("%1 ms  %2  %3\n").arg(m_clock.elapsed(), 8).arg(port, text).toUtf8();
    if (m_file.write(line) != line.size())
        m_failure = QStringLiteral("writing the log %1 failed: %2").arg(m_file.fileName(), m_file.errorString());
}
