#include "tools/pagepics/ScriptedCamera.h"

#include "link/Frames.h"
#include "link/RuntimeError.h"

#include <utility>

namespace {

QByteArray framed(const QByteArray &text)
{
    return Frame::STX + text + Frame::EOT;
}

const QByteArray kAcknowledgement = framed("lvr");

} // namespace

ScriptedCamera::ScriptedCamera(CameraScript script, QByteArray versionReport)
    : m_script(script), m_versionReport(std::move(versionReport))
{
}

bool ScriptedCamera::portOpen() const
{
    return m_open;
}

void ScriptedCamera::close()
{
    m_open = false;
    m_pending.clear();
}

void ScriptedCamera::setCommPort(qint16)
{
    if (m_open)
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
}

void ScriptedCamera::open()
{
    if (m_open || m_script == CameraScript::PortBusy)
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
    m_open = true;
}

void ScriptedCamera::output(const QByteArray &bytes)
{
    requireOpen(CommError::WriteFailed, "writing");
    if (m_script == CameraScript::Silent)
        return;
    if (m_script == CameraScript::IgnoresDownloadStart && bytes == frameFor(Command::ckl0))
        return;
    if (bytes == frameFor(Command::ckb0) && !m_versionReport.isEmpty())
        m_pending += framed(m_versionReport);
    m_pending += kAcknowledgement;
}

QByteArray ScriptedCamera::input()
{
    requireOpen(CommError::ReadFailed, "reading");
    return std::exchange(m_pending, QByteArray());
}

void ScriptedCamera::requireOpen(int errorNumber, const char *what) const
{
    if (!m_open)
        throw RuntimeError(errorNumber, QStringLiteral("Port not open for %1").arg(QLatin1String(what)));
}
