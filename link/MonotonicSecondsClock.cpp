#include "link/SecondsClock.h"

#include <chrono>

Stamp MonotonicSecondsClock::now() const
{
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

qint64 MonotonicSecondsClock::msUntilNextStamp() const
{
    using namespace std::chrono;
    const auto sinceEpoch = steady_clock::now().time_since_epoch();
    const auto intoSecond = sinceEpoch - duration_cast<seconds>(sinceEpoch);
    return duration_cast<milliseconds>(seconds(1) - intoSecond + milliseconds(1) - nanoseconds(1)).count();
}
