#pragma once

#include "link/SecondsClock.h"

// Whole seconds that pass only when the tour says so: every wait that has to run out
// runs out at once, and the pictures never depend on how fast the machine is.
class SteppedClock : public SecondsClock {
public:
    Stamp now() const override { return m_seconds; }
    void step() { ++m_seconds; }

private:
    Stamp m_seconds = 0;
};
