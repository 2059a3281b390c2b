#include "flash/LineTransfer.h"

// Placeholder until the sequence lands.
LineTransfer::LineTransfer(CameraSession &session, CommPort &port, const LineRecords &lines, WizardSurface &window)
    : m_session(session), m_port(port), m_lines(lines), m_window(window)
{
}

void LineTransfer::tick() {}
