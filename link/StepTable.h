#pragma once

#include "link/Frames.h"

#include <QtGlobal>

// One row of a sequence's step table, indexed by the sequence's state number. The rows
// are data; StepEngine walks them one row per tick.
struct Step {
    enum class Kind : quint8 {
        Send,       // write one command frame and go on
        Wait,       // poll for the acknowledgement until it comes or the limit passes
        DrainOnce,  // poll once and go on as if acknowledged: a command that gets no wait
        Own,        // a step the sequence performs itself (open the port, judge the version, ...)
    };
    // What a wait's passing limit means.
    enum class End : quint8 {
        Tolerant,  // go on as if acknowledged: the next tick polls once more and moves on
        Strict,    // the camera did not answer: the sequence ends the run
    };

    Kind kind;
    Command command = Command::QGt;  // Send
    bool asksVersion = false;        // Send: the next complete reply is the version report
    qint64 limitSeconds = 0;         // Wait: passed only when the whole seconds exceed it
    End end = End::Tolerant;         // Wait
    bool holdsOnAcknowledgement = false;  // Wait: stay on this row; the sequence hands over
    int own = 0;                     // Own: which of the sequence's own steps

    static constexpr Step send(Command command) { return {Kind::Send, command}; }
    static constexpr Step askVersion(Command command) { return {Kind::Send, command, true}; }
    static constexpr Step waitTolerant(qint64 limit) { return {Kind::Wait, Command::QGt, false, limit, End::Tolerant}; }
    static constexpr Step waitStrict(qint64 limit) { return {Kind::Wait, Command::QGt, false, limit, End::Strict}; }
    static constexpr Step drainOnce() { return {Kind::DrainOnce}; }
    static constexpr Step ownStep(int which) { return {Kind::Own, Command::QGt, false, 0, End::Tolerant, false, which}; }

    constexpr Step holding() const
    {
        Step held = *this;
        held.holdsOnAcknowledgement = true;
        return held;
    }
};
