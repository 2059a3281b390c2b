#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/StepEngine.h"
#include "link/WizardSurface.h"

// The closing script behind timerFinish: eight short commands, each but "ckk" followed
// by a bounded wait for the camera's acknowledgement, then the done page. A wait that
// runs out counts as acknowledged, so the script always reaches its end.
class ClosingSequence {
public:
    ClosingSequence(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window);

    // One step; a failing port operation throws RuntimeError to the caller.
    void tick();

    // In a wait step with the acknowledgement not yet in: only a reply or a passing
    // limit can move the script on.
    bool waiting() const;

private:
    WizardSurface &m_window;
    StepEngine m_steps;
};
