#include "InboundWire.h"

#include <algorithm>

namespace {
constexpr char kStx = 0x02;
constexpr char kEot = 0x04;
constexpr char kEscape = 0x7F;
} // namespace

InboundWire::InboundWire(Nanos byteTime)
    : m_byteTime(byteTime)
{
}

void InboundWire::receive(const QByteArray &bytes, Nanos readAt)
{
    for (char byte : bytes)
        takeByte(byte, readAt);
}

void InboundWire::takeByte(char byte, Nanos readAt)
{
    m_lastCompletion = std::max(readAt, m_lastCompletion) + m_byteTime;
    // Inside a frame 0x7F escapes the byte after it: the 7F 02 and 7F 04 pairs of a
    // line record are data, not delimiters.
    if (m_inFrame && m_escapePending) {
        m_current.append(byte);
        m_escapePending = false;
        return;
    }
    if (byte == kStx) {
        if (m_inFrame)
            m_noiseBytes += 1 + m_current.size();   // the abandoned start
        m_inFrame = true;
        m_current.clear();
        m_currentStart = readAt;
        return;
    }
    if (!m_inFrame) {
        ++m_noiseBytes;
        return;
    }
    if (byte == kEot) {
        m_held.push_back(InboundFrame{m_current, m_currentStart, m_lastCompletion});
        m_inFrame = false;
        m_current.clear();
        return;
    }
    m_escapePending = byte == kEscape;
    m_current.append(byte);
}

Nanos InboundWire::nextFrameDue() const
{
    return m_held.empty() ? kNever : m_held.front().takenInAt;
}

std::vector<InboundFrame> InboundWire::takeDueFrames(Nanos now)
{
    std::vector<InboundFrame> due;
    while (!m_held.empty() && m_held.front().takenInAt <= now) {
        due.push_back(std::move(m_held.front()));
        m_held.pop_front();
    }
    return due;
}
