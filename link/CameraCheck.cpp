#include "link/CameraCheck.h"

// Placeholder until the check's state machine lands.
CameraCheck::CameraCheck(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_window(window)
{
}

void CameraCheck::tick() {}
