#include "link/SecondsClock.h"

#include <chrono>

Stamp MonotonicSecondsClock::now() const
{
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}
