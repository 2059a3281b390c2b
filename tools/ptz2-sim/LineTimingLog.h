#pragma once

#include "SimTime.h"

#include <QString>
#include <vector>

// Times for the benchmark: for every line frame, when the acknowledgement before it
// had been written (completed on the line) and when the frame's first byte arrived;
// the gap between the two is what the program spends per line.
class LineTimingLog {
public:
    void acknowledgementWritten(Nanos at, int acknowledgedLine);
    void lineArrived(int frameNumber, Nanos firstByteAt);

    // Plain text, one line per line frame, times in CLOCK_MONOTONIC seconds.
    QString text() const;

private:
    struct Entry {
        int frameNumber;
        Nanos previousAck;   // -1: no acknowledgement before it
        Nanos firstByte;
    };

    std::vector<Nanos> m_acks;
    std::vector<Entry> m_lines;
    Nanos m_lastLineAck = -1;
};
