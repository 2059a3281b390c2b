#pragma once

#include "link/SecondsClock.h"

// A clock that moves only when the test says so.
class FakeClock : public SecondsClock {
public:
    Stamp seconds = 1000;
    Stamp now() const override { return seconds; }
    void advance(Stamp by) { seconds += by; }
};
