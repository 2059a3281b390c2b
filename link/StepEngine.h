#pragma once

#include "link/CameraSession.h"
#include "link/CommPort.h"
#include "link/SecondsClock.h"
#include "link/StepTable.h"

#include <array>
#include <cstddef>

// The fields of CameraSession in which one sequence keeps its place.
struct StepFields {
    qint32 &state;
    Stamp &sentAt;
    Stamp &polledAt;
};

// What a tick left to the sequence.
enum class StepEvent {
    None,          // sent, drained or still waiting; or the state lies outside the table
    Acknowledged,  // a wait got its acknowledgement (and moved on, unless it holds)
    RanOut,        // a strict wait's limit passed without an acknowledgement
    Own,           // the row is the sequence's own step: nothing was done
};

// Walks a step table one row per tick: a send writes the whole frame, stamps the send,
// clears AckReceived and moves on; a wait drains the port, stamps the poll and moves on
// once AckReceived is set, otherwise compares the whole seconds since the send with its
// limit. A failing port operation throws before the row's state is changed.
class StepEngine {
public:
    template <std::size_t N>
    StepEngine(const std::array<Step, N> &table, StepFields fields, CameraSession &session, CommPort &port,
               SecondsClock &clock)
        : m_table(table.data()), m_size(N), m_fields(fields), m_session(session), m_port(port), m_clock(clock)
    {
    }

    // The row of the current state; nullptr outside the table.
    const Step *current() const;

    // Performs the current row.
    StepEvent tick();

    // In a wait with the acknowledgement not yet in: only a reply or a passing limit
    // can move the sequence on.
    bool waiting() const;

private:
    void send(const Step &step);
    StepEvent wait(const Step &step);
    void drainOnce();

    const Step *m_table;
    std::size_t m_size;
    StepFields m_fields;
    CameraSession &m_session;
    CommPort &m_port;
    SecondsClock &m_clock;
};
