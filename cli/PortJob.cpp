#include "cli/PortJob.h"

#include "link/RuntimeError.h"

#include <QMetaObject>

PortJob::PortJob(NamedPort named, std::unique_ptr<CommPort> port, SecondsClock &clock, const LineRecords &lines)
    : m_named(std::move(named)),
      m_port(std::move(port)),
      m_runner(*m_port, clock, lines, *this,
               [this](int number, const QString &description) { failed(number, description); }),
      m_lineCount(qint32(lines.size()))
{
}

PortJob::~PortJob()
{
    m_runner.stop();
    closePort();
}

QByteArray PortJob::version() const
{
    return m_runner.session().CameraVersion;
}

void PortJob::startCheck()
{
    m_phase = Phase::Checking;
    m_runner.setTimerEnabled(SequenceTimer::CamTest, true);
}

void PortJob::startDownload()
{
    m_phase = Phase::Downloading;
    m_downloadStarted.start();
    m_runner.setTimerEnabled(SequenceTimer::StartDownload, true);
}

void PortJob::finish(Outcome outcome, const QString &detail)
{
    if (m_phase == Phase::Done)
        return;
    m_runner.stop();
    closePort();
    m_phase = Phase::Done;
    m_outcome = outcome;
    m_detail = detail;
    emit finished();
}

void PortJob::closePort()
{
    try {
        if (m_port->portOpen())
            m_port->close();
    } catch (const RuntimeError &) {
        // The port is gone either way; its failure has been told already.
    }
}

QString PortJob::selectedPortEntry() const
{
    // A port named by its device path opens that device whatever number it is given.
    return QString::number(m_named.comNumber ? m_named.comNumber : 1);
}

void PortJob::throbOn()
{
    // Each tick of the check begins here: the first one after the open finds the port open.
    if (!m_openAnnounced && m_port->portOpen()) {
        m_openAnnounced = true;
        emit opened();
    }
}

void PortJob::notePortFailure(const QString &description)
{
    m_cause = description;
}

void PortJob::land(Landing outcome)
{
    // The runner is inside a tick: the job moves on once it is over.
    QMetaObject::invokeMethod(
        this,
        [this, outcome] {
            switch (outcome) {
            case Landing::NoFlashNeeded:
            case Landing::NotPtz2:
            case Landing::NeedsFlashing:
                m_checkLanding = outcome;
                m_phase = Phase::Checked;
                emit checked();
                return;
            case Landing::NoResponse:
                m_checkLanding = outcome;
                emit checked();
                finish(Outcome::NoResponse);
                return;
            case Landing::PortInUse:
            case Landing::CheckFailed:
                m_checkLanding = outcome;
                emit checked();
                finish(Outcome::PortNotOpened, m_cause);
                return;
            case Landing::PowerCycle:
                finish(Outcome::PowerCycle, m_linesSent ? QStringLiteral("line %1 was never acknowledged").arg(m_linesSent)
                                                        : QStringLiteral("the camera never acknowledged \"ckl0\""));
                return;
            case Landing::Flashed:
                finish(Outcome::Flashed);
                return;
            }
        },
        Qt::QueuedConnection);
}

void PortJob::showLineProgress(qint32 lineIndex, qint32 upper)
{
    m_linesSent = lineIndex + 1;
    m_lineCount = upper + 1;
    emit progressed();
}

void PortJob::failed(int number, const QString &description)
{
    QMetaObject::invokeMethod(
        this,
        [this, number, description] {
            finish(m_phase == Phase::Downloading ? Outcome::PortFailed : Outcome::PortNotOpened,
                   QStringLiteral("error %1: %2").arg(number).arg(description));
        },
        Qt::QueuedConnection);
}
