#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/WizardSurface.h"

class DownloadStart {
public:
    DownloadStart(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window);

    // One step; a failing port operation throws RuntimeError to the caller.
    void tick();

private:
    CameraSession &m_session;
    CommPort &m_port;
    SecondsClock &m_clock;
    WizardSurface &m_window;
};
