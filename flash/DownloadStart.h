#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/StepEngine.h"
#include "link/WizardSurface.h"

// The download start behind timerStartDownload: puts the camera into download mode
// with "ckl0" and hands over to the line transfer once the camera acknowledges it,
// or lands on the power-cycle page when it stays silent too long.
class DownloadStart {
public:
    DownloadStart(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window);

    // One step; a failing port operation throws RuntimeError to the caller.
    void tick();

    // Waiting for the acknowledgement of "ckl0": only a reply or the limit moves it on.
    bool waiting() const;

private:
    void handOverToLineTransfer();

    CameraSession &m_session;
    WizardSurface &m_window;
    StepEngine m_steps;
};
