#include "flash/ClosingSequence.h"

#include "link/Frames.h"
#include "link/ReplyHandling.h"

#include <array>

namespace {

// How long each wait of the script gives the camera; a wait that runs out counts as
// acknowledged. Passed only when the whole-second difference exceeds the limit.
constexpr qint64 kCommandAckLimitSeconds = 1;
constexpr qint64 kFinalAckLimitSeconds = 4;   // after the second "ckz0m"

enum class StepKind {
    Send,      // write the command and go on
    Wait,      // poll until acknowledged or the limit runs out
    DrainOnce, // poll once and go on regardless: "ckk" gets no wait
    Done,      // the done page
};

struct ClosingStep {
    StepKind kind;
    Command command;   // Send only
    qint64 limit;      // Wait only
};

constexpr ClosingStep send(Command command) { return {StepKind::Send, command, 0}; }
constexpr ClosingStep wait(qint64 limit) { return {StepKind::Wait, Command::ckb0, limit}; }
constexpr ClosingStep drainOnce() { return {StepKind::DrainOnce, Command::ckb0, 0}; }
constexpr ClosingStep done() { return {StepKind::Done, Command::ckb0, 0}; }

// The script, indexed by FinishState.
constexpr std::array<ClosingStep, 17> kClosingScript{{
    send(Command::ckb0),     //  0
    wait(kCommandAckLimitSeconds),
    send(Command::ckz0m),    //  2
    wait(kCommandAckLimitSeconds),
    send(Command::cDd0k3),   //  4
    wait(kCommandAckLimitSeconds),
    send(Command::cDr0k),    //  6
    wait(kCommandAckLimitSeconds),
    send(Command::ckk),      //  8
    drainOnce(),             //  9
    send(Command::cki0n),    // 10
    wait(kCommandAckLimitSeconds),
    send(Command::ckd0F2),   // 12
    wait(kCommandAckLimitSeconds),
    send(Command::ckz0m),    // 14
    wait(kFinalAckLimitSeconds),
    done(),                  // 16
}};

} // namespace

ClosingSequence::ClosingSequence(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_window(window)
{
}

bool ClosingSequence::waiting() const
{
    const qint32 state = m_session.FinishState;
    return state >= 0 && state < qint32(kClosingScript.size())
        && kClosingScript[std::size_t(state)].kind == StepKind::Wait && !m_session.AckReceived;
}

void ClosingSequence::tick()
{
    const qint32 state = m_session.FinishState;
    if (state < 0 || state >= qint32(kClosingScript.size()))
        return;

    const ClosingStep &step = kClosingScript[std::size_t(state)];
    switch (step.kind) {
    case StepKind::Send:
        // A failed write throws before anything is stamped: the state stays at the send.
        m_port.output(frameFor(step.command));
        m_session.FinishSentAt = m_clock.now();
        m_session.AckReceived = false;
        ++m_session.FinishState;
        break;
    case StepKind::Wait:
        ReadBuffer(m_session, m_port);
        m_session.FinishPolledAt = m_clock.now();
        if (m_session.AckReceived)
            ++m_session.FinishState;
        else if (limitPassed(m_session.FinishSentAt, m_session.FinishPolledAt, step.limit))
            m_session.AckReceived = true;   // the next tick goes on as if acknowledged
        break;
    case StepKind::DrainOnce:
        ReadBuffer(m_session, m_port);
        m_session.FinishPolledAt = m_clock.now();
        ++m_session.FinishState;
        m_session.AckReceived = true;
        break;
    case StepKind::Done:
        m_window.land(Landing::Flashed);
        break;
    }
}
