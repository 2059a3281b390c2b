#pragma once

#include "SimTime.h"

#include <QByteArray>
#include <deque>
#include <vector>

// One frame as the camera takes it in.
struct InboundFrame {
    QByteArray command;      // the bytes between STX and EOT
    qint64 offset = 0;       // of its STX in everything the program sent
    Nanos firstByteReadAt = 0;   // when its STX was read from the device
    Nanos takenInAt = 0;     // when a real line would have delivered its EOT
    bool repliesUnread = false;  // the program had not read all our replies when its STX came
};

// Bytes that belong to no frame: a run of stray bytes between frames, or the start of
// a frame that a second STX abandoned.
struct LooseBytes {
    enum class Kind { Stray, Abandoned };
    Kind kind = Kind::Stray;
    qint64 offset = 0;   // of the first stray byte, or of the abandoning STX
    qint64 count = 0;    // stray bytes in the run, or bytes of the abandoned start
    Nanos readAt = 0;
};

// The program-to-camera direction: cuts the byte stream into frames (STX, bytes,
// EOT; anything outside a frame is line noise, a second STX starts over, and a byte
// after the escape 0x7F is data whatever its value) and holds
// each frame back until a real line would have delivered its last byte. A byte
// completes one byte time after it was read or after the byte before it completed,
// whichever is later; with no pacing (byte time 0) that is the moment it was read.
class InboundWire {
public:
    explicit InboundWire(Nanos byteTime);

    // repliesUnread: bytes we wrote were still waiting for the program when these came.
    void receive(const QByteArray &bytes, Nanos readAt, bool repliesUnread = false);

    // When the oldest held frame is due; kNever when none is held.
    Nanos nextFrameDue() const;
    // Frames due by now, oldest first.
    std::vector<InboundFrame> takeDueFrames(Nanos now);
    // Bytes outside frames since the last call, in the order they came.
    std::vector<LooseBytes> takeLooseBytes();

    // Bytes that belonged to no complete frame.
    qint64 noiseBytes() const { return m_noiseBytes; }

private:
    void takeByte(char byte, Nanos readAt, bool repliesUnread);
    void stray(Nanos readAt);

    Nanos m_byteTime;
    Nanos m_lastCompletion = 0;
    qint64 m_offset = 0;   // of the byte being taken
    bool m_inFrame = false;
    bool m_escapePending = false;
    InboundFrame m_current;
    std::deque<InboundFrame> m_held;
    std::vector<LooseBytes> m_loose;
    qint64 m_noiseBytes = 0;
};
