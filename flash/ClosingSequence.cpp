#include "flash/ClosingSequence.h"

// Placeholder until the sequence lands.
ClosingSequence::ClosingSequence(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_window(window)
{
}

void ClosingSequence::tick() {}
