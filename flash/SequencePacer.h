#pragma once

#include "flash/PacedTimer.h"
#include "link/CameraSession.h"
#include "link/SecondsClock.h"

#include <functional>
#include <vector>

// Sets when the sequence timers tick next (TickPacing), around every sequence tick and
// on word of arriving bytes. The timers keep their names, intervals and enabled states;
// only the moments of their ticks move.
class SequencePacer {
public:
    SequencePacer(const CameraSession &session, const SecondsClock &clock);

    // What limits a sequence's waits: the camera's protocol, or only a stall.
    enum class WaitLimit { Protocol, Stall };

    // `waiting` tells whether the timer's sequence waits for the camera.
    void add(PacedTimer *timer, std::function<bool()> waiting, WaitLimit limit = WaitLimit::Protocol);

    // Whether the port tells of arriving bytes; without that every timer keeps its interval.
    void setPortTellsArrivals(bool tells) { m_portTellsArrivals = tells; }
    bool portTellsArrivals() const { return m_portTellsArrivals; }

    // Around each tick of a sequence timer.
    void beforeTick();
    void afterTick();

    // Word from the port that new bytes wait: a running sequence may tick at once.
    // The word comes once; the bytes count as waiting until a wait's poll has read the
    // port after it, so that the wait after a send takes them in on its first poll.
    void bytesArrived();

private:
    bool anyWaiting() const;

    struct Sequence {
        PacedTimer *timer;
        std::function<bool()> waiting;
        WaitLimit limit;
    };

    const CameraSession &m_session;
    const SecondsClock &m_clock;
    std::vector<Sequence> m_sequences;
    bool m_portTellsArrivals = false;
    bool m_inTick = false;
    bool m_ackBeforeTick = false;
    bool m_tickPolls = false;           // a waiting sequence's tick begins with a read of the port
    bool m_bytesArrivedInTick = false;
    bool m_bytesUnread = false;         // word of bytes came that no poll has read since
};
