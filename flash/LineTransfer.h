#pragma once

#include "flash/LineRecords.h"
#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/WizardSurface.h"

// The line transfer behind Timer1: sends the firmware one line per frame, each only
// after the camera acknowledged the one before, moves the progress display and
// hands over to the closing script after the last line's acknowledgement.
class LineTransfer {
public:
    LineTransfer(CameraSession &session, CommPort &port, const LineRecords &lines, WizardSurface &window);

    // One step; a failing port operation throws RuntimeError to the caller.
    void tick();

private:
    void showProgress(qint32 lineIndex, qint32 upper);
    void sendLine(const QByteArray &line);

    CameraSession &m_session;
    CommPort &m_port;
    const LineRecords &m_lines;
    WizardSurface &m_window;
};
