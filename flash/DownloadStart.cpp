#include "flash/DownloadStart.h"

// Placeholder until the sequence lands.
DownloadStart::DownloadStart(CameraSession &session, CommPort &port, SecondsClock &clock, WizardSurface &window)
    : m_session(session), m_port(port), m_clock(clock), m_window(window)
{
}

void DownloadStart::tick() {}
