#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/WizardSurface.h"

// The camera check behind timerCamTest: opens the chosen port, sends four commands,
// reads the version the camera reports and lands the window on one outcome.
// One step per tick; every run-time failure of a tick is trapped here.
class CameraCheck {
public:
    CameraCheck(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window);

    void tick();

private:
    CameraSession &m_session;
    CommPort &m_port;
    SecondsClock &m_clock;
    WizardSurface &m_window;
};
