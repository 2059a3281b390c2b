#pragma once

#include <QtGlobal>

// Time stamps of one-second resolution. An elapsed time is the difference of two
// stamps in whole seconds, and a limit passes only when it is strictly greater.
using Stamp = qint64;

class SecondsClock {
public:
    virtual ~SecondsClock() = default;
    virtual Stamp now() const = 0;

    // Milliseconds until now() next changes, for a clock that can tell; -1 otherwise.
    // A waiting sequence need not look before then: no limit can pass in between.
    virtual qint64 msUntilNextStamp() const { return -1; }
};

// Whole seconds of a monotonic clock: a change of the wall clock during a wait
// neither ends it early nor stalls it.
class MonotonicSecondsClock : public SecondsClock {
public:
    Stamp now() const override;
    qint64 msUntilNextStamp() const override;
};

// True when more than `limit` whole seconds lie between the two stamps.
inline bool limitPassed(Stamp sentAt, Stamp polledAt, qint64 limit) { return polledAt - sentAt > limit; }
