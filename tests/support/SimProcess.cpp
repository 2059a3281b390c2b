#include "tests/support/SimProcess.h"

#include <QDir>
#include <QElapsedTimer>

QString SimProcess::binary()
{
    return QDir(qEnvironmentVariable("REVERTEX_BUILD_DIR")).filePath(QStringLiteral("ptz2-sim"));
}

SimProcess::SimProcess(const QStringList &arguments)
{
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(binary(), arguments);
    if (!m_process.waitForStarted(5000))
        return;
    QElapsedTimer waited;
    waited.start();
    while (!m_process.canReadLine() && waited.elapsed() < 10000) {
        if (m_process.state() != QProcess::Running)
            break;
        m_process.waitForReadyRead(100);
    }
    if (m_process.canReadLine())
        m_device = QString::fromLocal8Bit(m_process.readLine()).trimmed();
}

SimProcess::~SimProcess()
{
    if (m_process.state() != QProcess::NotRunning)
        stop();
}

int SimProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.terminate();
        if (!m_process.waitForFinished(10000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    return m_process.exitCode();
}

bool SimProcess::waitForExit(int ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
}

QString SimProcess::output()
{
    m_output += QString::fromLocal8Bit(m_process.readAllStandardOutput());
    m_output += QString::fromLocal8Bit(m_process.readAllStandardError());
    return m_output;
}
