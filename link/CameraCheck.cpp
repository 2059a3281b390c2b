#include "link/CameraCheck.h"

#include "link/CameraVersion.h"
#include "link/ComPortCount.h"
#include "link/Frames.h"
#include "link/ReplyHandling.h"
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

enum class StepKind {
    OpenPort,      // close a port left open, select the chosen one, open it
    Send,          // write one command frame
    Wait,          // poll for the acknowledgement
    JudgeVersion,  // decide from the reported version
};

enum class WaitRule {
    Tolerant,  // when the limit passes, go on as if acknowledged
    Strict,    // when the limit passes, the camera did not respond
};

struct CheckStep {
    StepKind kind;
    Command command;     // Send only
    bool asksVersion;    // Send only: the reply to this command carries the version
    qint64 limit;        // Wait only
    WaitRule rule;       // Wait only
};

constexpr CheckStep openPort() { return {StepKind::OpenPort, Command::QGt, false, 0, WaitRule::Strict}; }
constexpr CheckStep send(Command command) { return {StepKind::Send, command, false, 0, WaitRule::Strict}; }
constexpr CheckStep askVersion(Command command) { return {StepKind::Send, command, true, 0, WaitRule::Strict}; }
constexpr CheckStep wait(qint64 limit, WaitRule rule) { return {StepKind::Wait, Command::QGt, false, limit, rule}; }
constexpr CheckStep judgeVersion() { return {StepKind::JudgeVersion, Command::QGt, false, 0, WaitRule::Strict}; }

// The check, indexed by CamState.
constexpr std::array<CheckStep, 10> kCheckSteps{{
    openPort(),                                          // 0
    send(Command::QGt),                                  // 1
    wait(kQGtAckLimitSeconds, WaitRule::Tolerant),       // 2
    send(Command::ckkV),                                 // 3
    wait(kCkkVAckLimitSeconds, WaitRule::Tolerant),      // 4
    send(Command::cki0n),                                // 5
    wait(kCki0nAckLimitSeconds, WaitRule::Strict),       // 6
    askVersion(Command::ckb0),                           // 7
    wait(kVersionAckLimitSeconds, WaitRule::Strict),     // 8
    judgeVersion(),                                      // 9
}};

} // namespace

CameraCheck::CameraCheck(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_window(window)
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
    const qint32 state = m_session.CamState;
    return state >= 0 && state < qint32(kCheckSteps.size()) && kCheckSteps[std::size_t(state)].kind == StepKind::Wait
        && !m_session.AckReceived;
}

void CameraCheck::performStep()
{
    const qint32 state = m_session.CamState;
    if (state < 0 || state >= qint32(kCheckSteps.size()))
        return;

    const CheckStep &step = kCheckSteps[std::size_t(state)];
    switch (step.kind) {
    case StepKind::OpenPort:
        openChosenPort();
        break;
    case StepKind::Send:
        m_port.output(frameFor(step.command));
        m_session.AckReceived = false;
        if (step.asksVersion)
            m_session.WantVersion = true;   // set before any poll can see the report
        ++m_session.CamState;
        m_session.CamSentAt = m_clock.now();
        break;
    case StepKind::Wait:
        ReadBuffer(m_session, m_port);
        m_session.CamPolledAt = m_clock.now();
        if (m_session.AckReceived) {
            ++m_session.CamState;
        } else if (limitPassed(m_session.CamSentAt, m_session.CamPolledAt, step.limit)) {
            if (step.rule == WaitRule::Tolerant)
                m_session.AckReceived = true;   // the next tick polls once more and goes on
            else
                finish(Landing::NoResponse);
        }
        break;
    case StepKind::JudgeVersion:
        judgeVersion();
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
