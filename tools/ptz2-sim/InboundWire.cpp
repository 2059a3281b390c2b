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

void InboundWire::receive(const QByteArray &bytes, Nanos readAt, bool repliesUnread)
{
    for (char byte : bytes) {
        takeByte(byte, readAt, repliesUnread);
        ++m_offset;
    }
}

void InboundWire::stray(Nanos readAt)
{
    ++m_noiseBytes;
    LooseBytes *last = m_loose.empty() ? nullptr : &m_loose.back();
    if (last && last->kind == LooseBytes::Kind::Stray && last->offset + last->count == m_offset) {
        ++last->count;
        return;
    }
    m_loose.push_back(LooseBytes{LooseBytes::Kind::Stray, m_offset, 1, readAt});
}

void InboundWire::takeByte(char byte, Nanos readAt, bool repliesUnread)
{
    m_lastCompletion = std::max(readAt, m_lastCompletion) + m_byteTime;
    // Inside a frame 0x7F escapes the byte after it: the 7F 02 and 7F 04 pairs of a
    // line record are data, not delimiters.
    if (m_inFrame && m_escapePending) {
        m_current.command.append(byte);
        m_escapePending = false;
        return;
    }
    if (byte == kStx) {
        if (m_inFrame) {
            const qint64 abandoned = 1 + m_current.command.size();
            m_noiseBytes += abandoned;
            m_loose.push_back(LooseBytes{LooseBytes::Kind::Abandoned, m_offset, abandoned, readAt});
        }
        m_inFrame = true;
        m_current = InboundFrame{QByteArray(), m_offset, readAt, 0, repliesUnread};
        return;
    }
    if (!m_inFrame) {
        stray(readAt);
        return;
    }
    if (byte == kEot) {
        m_current.takenInAt = m_lastCompletion;
        m_held.push_back(std::move(m_current));
        m_current = InboundFrame{};
        m_inFrame = false;
        return;
    }
    m_escapePending = byte == kEscape;
    m_current.command.append(byte);
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

std::vector<LooseBytes> InboundWire::takeLooseBytes()
{
    std::vector<LooseBytes> taken;
    taken.swap(m_loose);
    return taken;
}
