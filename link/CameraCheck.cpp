#include "link/CameraCheck.h"

#include "link/CameraVersion.h"
#include "link/ComPortCount.h"
#include "link/RuntimeError.h"

#include <array>
#include <exception>

namespace {

// How long each command may go unacknowledged, in whole seconds (passed only when the
// difference exceeds the limit). The first two waits are tolerant: the check goes on
// regardless. The last two are strict: no answer means no camera.
constexpr qint64 kQGtAckLimitSeconds = 2;
constexpr qint64 kCkkVAckLimitSeconds = 1;
constexpr qint64 kCki0nAckLimitSeconds = 3;
constexpr qint64 kVersionAckLimitSeconds = 3;

// The check's own steps, beside the sends and waits.
enum OwnStep { OpenPort, JudgeVersion };

// The check, indexed by CamState.
constexpr std::array<Step, 10> kCheckSteps{{
    Step::ownStep(OpenPort),                        // 0
    Step::send(Command::QGt),                       // 1
    Step::waitTolerant(kQGtAckLimitSeconds),        // 2
    Step::send(Command::ckkV),                      // 3
    Step::waitTolerant(kCkkVAckLimitSeconds),       // 4
    Step::send(Command::cki0n),                     // 5
    Step::waitStrict(kCki0nAckLimitSeconds),        // 6
    Step::askVersion(Command::ckb0),                // 7
    Step::waitStrict(kVersionAckLimitSeconds),      // 8
    Step::ownStep(JudgeVersion),                    // 9
}};

} // namespace

CameraCheck::CameraCheck(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_window(window),
      m_steps(kCheckSteps, {session.CamState, session.CamSentAt, session.CamPolledAt}, session, port, clock)
{
}

void CameraCheck::tick()
{
    // Failures are told apart by the step they happen in: up to selecting the port
    // the check merely failed; from the open on, the port is taken to be unusable.
    m_failureLanding = Landing::CheckFailed;
    try {
        m_window.throbOn();
        if (m_session.CamState != 0)
            m_failureLanding = Landing::PortInUse;
        performStep();
    } catch (const RuntimeError &error) {
        notePortFailure(error.description());
        landAfterFailure();
    } catch (const std::exception &error) {
        notePortFailure(QString::fromLocal8Bit(error.what()));
        landAfterFailure();
    } catch (...) {
        landAfterFailure();
    }
}

bool CameraCheck::waiting() const
{
    return m_steps.waiting();
}

void CameraCheck::performStep()
{
    switch (m_steps.tick()) {
    case StepEvent::Own:
        if (m_steps.current()->own == OpenPort)
            openChosenPort();
        else
            judgeVersion();
        break;
    case StepEvent::RanOut:
        finish(Landing::NoResponse);
        break;
    case StepEvent::None:
    case StepEvent::Acknowledged:
        break;
    }
}

void CameraCheck::openChosenPort()
{
    const qint16 number = chosenPortNumber();
    if (m_port.portOpen())
        m_port.close();   // left open by an earlier run
    m_port.setCommPort(number);
    m_failureLanding = Landing::PortInUse;
    m_port.open();
    m_session.CamState = 1;
}

qint16 CameraCheck::chosenPortNumber() const
{
    const QString entry = m_window.selectedPortEntry();
    bool converted = false;
    const qint16 number = entry.trimmed().toShort(&converted);
    if (!converted || number < 1 || number > kComPortCount)
        throw RuntimeError(CommError::InvalidPort, QStringLiteral("Not a COM port number: \"%1\"").arg(entry));
    return number;
}

void CameraCheck::judgeVersion()
{
    const QByteArray &version = m_session.CameraVersion;
    if (version.isEmpty() || version == CameraVersion::kUnknown)
        finish(Landing::NotPtz2);
    else if (version == CameraVersion::kReference)
        finish(Landing::NoFlashNeeded);
    else
        finish(Landing::NeedsFlashing);
}

void CameraCheck::finish(Landing outcome)
{
    m_session.CamState = 0;
    m_window.land(outcome);
}

void CameraCheck::notePortFailure(const QString &description) noexcept
{
    if (m_failureLanding != Landing::PortInUse)
        return;
    try {
        m_window.notePortFailure(description);
    } catch (...) {
        // Only the explanation is lost; the landing still follows.
    }
}

void CameraCheck::landAfterFailure() noexcept
{
    if (m_failureLanding == Landing::PortInUse)
        m_session.CamState = 0;
    try {
        m_window.land(m_failureLanding);
    } catch (...) {
        // The window could not show the outcome; at least the check must stop ticking.
        try {
            m_window.setTimerEnabled(SequenceTimer::CamTest, false);
        } catch (...) {
        }
    }
}
