#include "OutboundWire.h"

#include <algorithm>

OutboundWire::OutboundWire(Nanos byteTime, bool split)
    : m_byteTime(byteTime)
    , m_split(split)
{
}

void OutboundWire::send(const std::vector<CameraReply> &answer, Nanos readyAt, bool finishing)
{
    Nanos cursor = std::max(readyAt, m_lineFreeAt);
    const std::size_t firstNew = m_queue.size();
    for (const CameraReply &reply : answer) {
        if (m_split) {
            for (qsizetype i = 0; i < reply.bytes.size(); ++i) {
                if (i > 0)
                    cursor += kSplitGap;
                cursor += m_byteTime;
                OutboundChunk chunk;
                chunk.bytes = reply.bytes.mid(i, 1);
                chunk.dueAt = cursor;
                chunk.kind = reply.kind;
                m_queue.push_back(chunk);
            }
        } else {
            cursor += m_byteTime * reply.bytes.size();
            OutboundChunk chunk;
            chunk.bytes = reply.bytes;
            chunk.dueAt = cursor;
            chunk.kind = reply.kind;
            m_queue.push_back(chunk);
        }
        if (m_queue.size() > firstNew) {
            m_queue.back().endsReply = true;
            m_queue.back().acknowledgedLine = reply.acknowledgedLine;
            m_queue.back().answersFrame = reply.answersFrame;
        }
    }
    m_lineFreeAt = cursor;
    if (finishing && m_queue.size() > firstNew)
        m_queue.back().endsFinish = true;
}

Nanos OutboundWire::nextDue() const
{
    return m_queue.empty() ? kNever : m_queue.front().dueAt;
}

std::vector<OutboundChunk> OutboundWire::takeDue(Nanos now)
{
    std::vector<OutboundChunk> due;
    while (!m_queue.empty() && m_queue.front().dueAt <= now) {
        due.push_back(std::move(m_queue.front()));
        m_queue.pop_front();
    }
    return due;
}
