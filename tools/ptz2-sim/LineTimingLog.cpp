#include "LineTimingLog.h"

#include <algorithm>

namespace {

QString stamp(Nanos t)
{
    return t < 0 ? QStringLiteral("-") : QString::number(toSeconds(t), 'f', 6);
}

} // namespace

void LineTimingLog::acknowledgementWritten(Nanos at, int acknowledgedLine)
{
    m_acks.push_back(at);
    if (acknowledgedLine > 0)
        m_lastLineAck = at;
}

void LineTimingLog::lineArrived(int frameNumber, Nanos firstByteAt)
{
    // Acknowledgements are written in time order; find the last one at or before the byte.
    const auto after = std::upper_bound(m_acks.begin(), m_acks.end(), firstByteAt);
    const Nanos previous = after == m_acks.begin() ? -1 : *(after - 1);
    m_lines.push_back(Entry{frameNumber, previous, firstByteAt});
}

QString LineTimingLog::text() const
{
    QString text = QStringLiteral(
        "# ptz2-sim line timing, CLOCK_MONOTONIC seconds\n"
        "# first-line-sent: first byte of the first line frame; last-ack: acknowledgement of the last good line\n"
        "# then per line frame: number, acknowledgement before it written, its first byte arrived\n");
    text += QStringLiteral("first-line-sent %1\n").arg(stamp(m_lines.empty() ? -1 : m_lines.front().firstByte));
    text += QStringLiteral("last-ack %1\n").arg(stamp(m_lastLineAck));
    for (const Entry &entry : m_lines)
        text += QStringLiteral("%1 %2 %3\n").arg(entry.frameNumber).arg(stamp(entry.previousAck), stamp(entry.firstByte));
    return text;
}
