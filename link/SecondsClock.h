#pragma once

#include <QtGlobal>

// Time stamps of one-second resolution. An elapsed time is the difference of two
// stamps in whole seconds, and a limit passes only when it is strictly greater.
using Stamp = qint64;

class SecondsClock {
public:
    virtual ~SecondsClock() = default;
    virtual Stamp now() const = 0;
};

// Whole seconds of a monotonic clock: a change of the wall clock during a wait
// neither ends it early nor stalls it.
class MonotonicSecondsClock : public SecondsClock {
public:
    Stamp now() const override;
};

// True when more than `limit` whole seconds lie between the two stamps.
inline bool limitPassed(Stamp sentAt, Stamp polledAt, qint64 limit) { return polledAt - sentAt > limit; }
