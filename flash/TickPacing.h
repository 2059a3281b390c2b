#pragma once

#include <QtGlobal>

// When the next tick of a running sequence comes. The sequences may change when they
// tick, never what a tick does: a tick is one step of its sequence, as always.
//
// A polled port gives no word of arriving bytes, so a sequence on it ticks at its
// timer's designed interval (1 ms) throughout. On a port that tells of arrivals:
//  - a sequence that waits for the camera ticks when bytes arrive, and otherwise only
//    as often as it must to notice a passing limit: just after the clock's next
//    whole-second change (limits are whole seconds), or every kIdleTickMs with a clock
//    that cannot tell when that comes; a wait whose only limit is a stall's, a minute
//    long, looks every kStallLookMs, the same for every line, so that its timer is not
//    set anew for each (on Windows that ends one system timer and makes another);
//  - a wait that begins while bytes told of earlier are still unread (they came while
//    the sequence sent, or between two sequences) polls at once, as the designed 1 ms
//    tick after the send would have;
//  - the tick after one that ended a wait runs at once: it took in an acknowledgement,
//    or a limit ran out that counts as one;
//  - every other tick comes at the designed interval.
namespace TickPacing {

// A passed limit must be noticed within this much of the moment it passes.
constexpr int kLimitNoticedWithinMs = 50;
// A waiting sequence looks this often when the clock cannot say when its second changes.
constexpr int kIdleTickMs = 20;
// After the clock's second changes, so the new stamp is surely there.
constexpr int kAfterStampChangeMs = 1;
// Half the allowance is left for a late wake-up on a busy machine.
static_assert(2 * kIdleTickMs < kLimitNoticedWithinMs, "idle ticks too far apart to notice a limit in time");
// A wait for a stalled line looks this often: a stall of a minute is noticed within a
// second or two, with no protocol limit to keep.
constexpr int kStallLookMs = 1000;
// "At once": on the next turn of the event loop.
constexpr int kAtOnceMs = 0;

struct AfterTick {
    bool portTellsArrivals = false;
    bool waiting = false;          // the sequence waits for a reply or a limit
    bool onlyStallLimit = false;   // its wait's only limit is that of a stall
    bool waitEnded = false;        // AckReceived went from False to True in the tick
    bool bytesUnread = false;      // word of bytes came that no poll has read since
    qint64 msUntilNextStamp = -1;  // from the clock; -1 when it cannot tell
};

// Milliseconds to the sequence's next tick.
int nextTickMs(const AfterTick &tick, int designedMs);

} // namespace TickPacing
