#pragma once

#include "flash/LineRecords.h"
#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/WizardSurface.h"

class LineTransfer {
public:
    LineTransfer(CameraSession &session, CommPort &port, const LineRecords &lines, WizardSurface &window);

    // One step; a failing port operation throws RuntimeError to the caller.
    void tick();

private:
    CameraSession &m_session;
    CommPort &m_port;
    const LineRecords &m_lines;
    WizardSurface &m_window;
};
