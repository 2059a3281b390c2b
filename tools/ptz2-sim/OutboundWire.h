#pragma once

#include "CameraReply.h"
#include "SimTime.h"

#include <deque>
#include <vector>

// One write to the device, due at a set time.
struct OutboundChunk {
    QByteArray bytes;
    Nanos dueAt = 0;
    bool endsReply = false;
    ReplyKind kind = ReplyKind::Acknowledgement;
    int acknowledgedLine = 0;   // set on the chunk that ends a line's acknowledgement
    int answersFrame = 0;       // set on the chunk that ends a reply
    bool endsFinish = false;    // last chunk of the answer to the closing script's final command
};

// The camera-to-program direction. Answers go out in the order they were made; each
// reply reaches the program only once a real line would have carried all of it,
// starting when the answer is ready or when the line is free again, whichever is later.
// Split replies go out byte by byte, each byte after its own line time and a short gap.
class OutboundWire {
public:
    static constexpr Nanos kSplitGap = 2 * kNanosPerMilli;

    OutboundWire(Nanos byteTime, bool split);

    void send(const std::vector<CameraReply> &answer, Nanos readyAt, bool finishing);

    Nanos nextDue() const;
    std::vector<OutboundChunk> takeDue(Nanos now);
    bool idle() const { return m_queue.empty(); }

private:
    Nanos m_byteTime;
    bool m_split;
    Nanos m_lineFreeAt = 0;
    std::deque<OutboundChunk> m_queue;
};
