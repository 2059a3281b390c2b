#include "flash/SequencePacer.h"

#include "flash/TickPacing.h"

SequencePacer::SequencePacer(const CameraSession &session, const SecondsClock &clock)
    : m_session(session), m_clock(clock)
{
}

void SequencePacer::add(PacedTimer *timer, std::function<bool()> waiting, WaitLimit limit)
{
    m_sequences.push_back({timer, std::move(waiting), limit});
}

bool SequencePacer::anyWaiting() const
{
    for (const Sequence &sequence : m_sequences)
        if (sequence.timer->isActive() && sequence.waiting())
            return true;
    return false;
}

void SequencePacer::beforeTick()
{
    m_inTick = true;
    m_ackBeforeTick = m_session.AckReceived;
    m_tickPolls = anyWaiting();
    m_bytesArrivedInTick = false;
}

void SequencePacer::afterTick()
{
    m_inTick = false;
    // Bytes told of during the tick may have come after its read: they still wait.
    if (m_tickPolls && !m_bytesArrivedInTick)
        m_bytesUnread = false;
    // A tick may hand over to the next sequence's timer: pace whichever runs now.
    for (const Sequence &sequence : m_sequences) {
        if (!sequence.timer->isActive())
            continue;
        TickPacing::AfterTick tick;
        tick.portTellsArrivals = m_portTellsArrivals;
        tick.waiting = sequence.waiting();
        tick.onlyStallLimit = sequence.limit == WaitLimit::Stall;
        tick.waitEnded = !m_ackBeforeTick && m_session.AckReceived;
        tick.bytesUnread = m_bytesUnread;
        tick.msUntilNextStamp = m_clock.msUntilNextStamp();
        sequence.timer->setCadence(TickPacing::nextTickMs(tick, sequence.timer->interval()));
    }
}

void SequencePacer::bytesArrived()
{
    if (!m_portTellsArrivals)
        return;
    m_bytesUnread = true;
    if (m_inTick) {
        m_bytesArrivedInTick = true;   // the end of the tick decides
        return;
    }
    for (const Sequence &sequence : m_sequences)
        if (sequence.timer->isActive())
            sequence.timer->setCadence(TickPacing::kAtOnceMs);
}
