#include "flash/DownloadStart.h"

#include "link/Frames.h"
#include "link/ReplyHandling.h"

namespace {

enum StartStep : qint32 {
    SendStart = 0,   // write "ckl0"
    AwaitStart = 1,  // poll for its acknowledgement; the state never moves past this
};

// How long the camera may take to acknowledge "ckl0" before it has to be power-cycled.
// Passed only when the whole-second difference exceeds it: 32 seconds or more.
constexpr qint64 kStartAckLimitSeconds = 31;

} // namespace

DownloadStart::DownloadStart(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_window(window)
{
}

void DownloadStart::tick()
{
    m_window.throbOn();

    switch (m_session.StartState) {
    case SendStart:
        // A failed write throws before anything is stamped: the state stays at the send.
        m_port.output(frameFor(Command::ckl0));
        m_session.StartSentAt = m_clock.now();
        m_session.AckReceived = false;
        m_session.StartState = AwaitStart;
        break;
    case AwaitStart:
        ReadBuffer(m_session, m_port);
        m_session.StartPolledAt = m_clock.now();
        if (m_session.AckReceived)
            handOverToLineTransfer();
        else if (limitPassed(m_session.StartSentAt, m_session.StartPolledAt, kStartAckLimitSeconds))
            m_window.land(Landing::PowerCycle);
        break;
    default:
        break;
    }
}

bool DownloadStart::waiting() const
{
    return m_session.StartState == AwaitStart && !m_session.AckReceived;
}

void DownloadStart::handOverToLineTransfer()
{
    m_window.setTimerEnabled(SequenceTimer::StartDownload, false);
    m_window.setTimerEnabled(SequenceTimer::LineTransfer, true);
    m_session.AckReceived = true;   // the transfer's first tick sends line 0 at once
    m_window.throbOn();
}
