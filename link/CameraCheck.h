#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/StepEngine.h"
#include "link/WizardSurface.h"

// The camera check behind timerCamTest: opens the chosen port, sends four commands,
// reads the version the camera reports and lands the window on one outcome.
// One step per tick; every run-time failure of a tick is trapped here.
class CameraCheck {
public:
    CameraCheck(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window);

    // One step of the check. Never throws: a failure lands the window on CheckFailed
    // (before the port is opened) or PortInUse (from the open on).
    void tick();

    // In a wait step with the acknowledgement not yet in: only a reply or a passing
    // limit can move the check on.
    bool waiting() const;

private:
    void performStep();
    void openChosenPort();
    qint16 chosenPortNumber() const;
    void judgeVersion();
    void finish(Landing outcome);
    void notePortFailure(const QString &description) noexcept;
    void landAfterFailure() noexcept;

    CameraSession &m_session;
    CommPort &m_port;
    WizardSurface &m_window;
    StepEngine m_steps;
    Landing m_failureLanding = Landing::CheckFailed;   // where a failure in this tick lands
};
