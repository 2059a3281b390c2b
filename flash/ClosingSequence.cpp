#include "flash/ClosingSequence.h"

#include <array>

namespace {

// How long each wait of the script gives the camera; a wait that runs out counts as
// acknowledged. Passed only when the whole-second difference exceeds the limit.
constexpr qint64 kCommandAckLimitSeconds = 1;
constexpr qint64 kFinalAckLimitSeconds = 4;   // after the second "ckz0m"

// The script's one own step, after the last wait.
enum OwnStep { DonePage };

// The script, indexed by FinishState.
constexpr std::array<Step, 17> kClosingScript{{
    Step::send(Command::ckb0),     //  0
    Step::waitTolerant(kCommandAckLimitSeconds),
    Step::send(Command::ckz0m),    //  2
    Step::waitTolerant(kCommandAckLimitSeconds),
    Step::send(Command::cDd0k3),   //  4
    Step::waitTolerant(kCommandAckLimitSeconds),
    Step::send(Command::cDr0k),    //  6
    Step::waitTolerant(kCommandAckLimitSeconds),
    Step::send(Command::ckk),      //  8
    Step::drainOnce(),             //  9: "ckk" gets no wait
    Step::send(Command::cki0n),    // 10
    Step::waitTolerant(kCommandAckLimitSeconds),
    Step::send(Command::ckd0F2),   // 12
    Step::waitTolerant(kCommandAckLimitSeconds),
    Step::send(Command::ckz0m),    // 14
    Step::waitTolerant(kFinalAckLimitSeconds),
    Step::ownStep(DonePage),       // 16
}};

} // namespace

ClosingSequence::ClosingSequence(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_window(window),
      m_steps(kClosingScript, {session.FinishState, session.FinishSentAt, session.FinishPolledAt}, session, port,
              clock)
{
}

bool ClosingSequence::waiting() const
{
    return m_steps.waiting();
}

void ClosingSequence::tick()
{
    // Every wait is tolerant: the engine never reports one as run out.
    if (m_steps.tick() == StepEvent::Own)
        m_window.land(Landing::Flashed);
}
