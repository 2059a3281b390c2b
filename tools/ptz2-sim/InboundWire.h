#pragma once

#include "SimTime.h"

#include <QByteArray>
#include <deque>
#include <vector>

// One frame as the camera takes it in.
struct InboundFrame {
    QByteArray command;      // the bytes between STX and EOT
    Nanos firstByteReadAt;   // when its STX was read from the device
    Nanos takenInAt;         // when a real line would have delivered its EOT
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

    void receive(const QByteArray &bytes, Nanos readAt);

    // When the oldest held frame is due; kNever when none is held.
    Nanos nextFrameDue() const;
    // Frames due by now, oldest first.
    std::vector<InboundFrame> takeDueFrames(Nanos now);

    // Bytes that belonged to no complete frame.
    qint64 noiseBytes() const { return m_noiseBytes; }

private:
    void takeByte(char byte, Nanos readAt);

    Nanos m_byteTime;
    Nanos m_lastCompletion = 0;
    bool m_inFrame = false;
    bool m_escapePending = false;
    QByteArray m_current;
    Nanos m_currentStart = 0;
    std::deque<InboundFrame> m_held;
    qint64 m_noiseBytes = 0;
};
