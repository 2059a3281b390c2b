#pragma once

#include "flash/LineRecords.h"
#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/WizardSurface.h"

// The line transfer behind Timer1: sends the firmware one line per frame, each only
// after the camera acknowledged the one before, moves the progress display and
// hands over to the closing script after the last line's acknowledgement. Not a step
// table: its place is LineIndex, each send is a line of the image in three writes, and
// its one limit is the stall below, not a step of the camera's protocol.
//
// A line whose acknowledgement never comes (a cable pulled, a camera that hung) would
// otherwise hold the window on the progress page for ever, with every button disabled
// and closing refused. After a stall far longer than any line needs, the transfer
// gives up and asks for a power cycle, which lets the user leave.
class LineTransfer {
public:
    // A line and its acknowledgement need well under a second on the wire.
    static constexpr qint64 kStallLimitSeconds = 60;

    LineTransfer(CameraSession &session, CommPort &port, SecondsClock &clock, const LineRecords &lines,
                 WizardSurface &window);

    // One step; a failing port operation throws RuntimeError to the caller.
    void tick();

    // A line is on its way and its acknowledgement not yet in.
    bool waiting() const;

private:
    void showProgress(qint32 lineIndex, qint32 upper);
    void sendLine(const QByteArray &line);

    CameraSession &m_session;
    CommPort &m_port;
    SecondsClock &m_clock;
    const LineRecords &m_lines;
    WizardSurface &m_window;
    Stamp m_lineSentAt = 0;   // when the line now waiting for its acknowledgement went out
};
