#include "flash/DownloadStart.h"

#include <array>

namespace {

// How long the camera may take to acknowledge "ckl0" before it has to be power-cycled.
// Passed only when the whole-second difference exceeds it: 32 seconds or more.
constexpr qint64 kStartAckLimitSeconds = 31;

// The start, indexed by StartState: "ckl0", then its wait, on which the state stays;
// the acknowledgement hands over to the line transfer.
constexpr std::array<Step, 2> kStartSteps{{
    Step::send(Command::ckl0),                             // 0
    Step::waitStrict(kStartAckLimitSeconds).holding(),     // 1
}};

} // namespace

DownloadStart::DownloadStart(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_window(window),
      m_steps(kStartSteps, {session.StartState, session.StartSentAt, session.StartPolledAt}, session, port, clock)
{
}

void DownloadStart::tick()
{
    m_window.throbOn();

    switch (m_steps.tick()) {
    case StepEvent::Acknowledged:
        handOverToLineTransfer();
        break;
    case StepEvent::RanOut:
        m_window.land(Landing::PowerCycle);
        break;
    case StepEvent::None:
    case StepEvent::Own:
        break;
    }
}

bool DownloadStart::waiting() const
{
    return m_steps.waiting();
}

void DownloadStart::handOverToLineTransfer()
{
    m_window.setTimerEnabled(SequenceTimer::StartDownload, false);
    m_window.setTimerEnabled(SequenceTimer::LineTransfer, true);
    m_session.AckReceived = true;   // the transfer's first tick sends line 0 at once
    m_window.throbOn();
}
