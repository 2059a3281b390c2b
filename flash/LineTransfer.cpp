#include "flash/LineTransfer.h"

#include "link/Frames.h"
#include "link/ReplyHandling.h"

LineTransfer::LineTransfer(CameraSession &session, CommPort &port, SecondsClock &clock, const LineRecords &lines,
                           WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_lines(lines), m_window(window)
{
}

void LineTransfer::tick()
{
    // Stop-and-wait without resend: the camera's acknowledgement alone releases the
    // next line. Only a stall far beyond any line's time ends the wait.
    if (!m_session.AckReceived) {
        ReadBuffer(m_session, m_port);
        if (!m_session.AckReceived && limitPassed(m_lineSentAt, m_clock.now(), kStallLimitSeconds)) {
            m_window.setTimerEnabled(SequenceTimer::LineTransfer, false);
            m_window.land(Landing::PowerCycle);
        }
        return;
    }

    const qint32 upper = qint32(m_lines.size()) - 1;   // the image's upper bound, read every tick
    const qint32 next = m_session.LineIndex + 1;
    if (next > upper) {
        m_session.LineIndex = next;
        m_window.setTimerEnabled(SequenceTimer::LineTransfer, false);
        m_window.setTimerEnabled(SequenceTimer::Finish, true);
        return;
    }

    showProgress(next, upper);
    sendLine(m_lines.at(next));
    // Committed only once the whole frame is out: a write that throws leaves the
    // line unsent in the session's eyes rather than counted as on its way.
    m_session.LineIndex = next;
    m_session.AckReceived = false;
    m_lineSentAt = m_clock.now();
}

bool LineTransfer::waiting() const
{
    return !m_session.AckReceived;
}

void LineTransfer::showProgress(qint32 lineIndex, qint32 upper)
{
    // The bar and percentage are lineIndex / upper. A one-line image has no range to
    // divide: its only line is also its last, so it shows complete.
    if (upper < 1)
        m_window.showLineProgress(1, 1);
    else
        m_window.showLineProgress(lineIndex, upper);
}

void LineTransfer::sendLine(const QByteArray &line)
{
    m_port.output(lineFrameHead());
    m_port.output(line);
    m_port.output(lineFrameTail());
}
