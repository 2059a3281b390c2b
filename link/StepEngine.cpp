#include "link/StepEngine.h"

#include "link/ReplyHandling.h"

const Step *StepEngine::current() const
{
    const qint32 state = m_fields.state;
    return state >= 0 && std::size_t(state) < m_size ? &m_table[state] : nullptr;
}

StepEvent StepEngine::tick()
{
    const Step *step = current();
    if (!step)
        return StepEvent::None;
    switch (step->kind) {
    case Step::Kind::Send:
        send(*step);
        return StepEvent::None;
    case Step::Kind::Wait:
        return wait(*step);
    case Step::Kind::DrainOnce:
        drainOnce();
        return StepEvent::None;
    case Step::Kind::Own:
        break;
    }
    return StepEvent::Own;
}

bool StepEngine::waiting() const
{
    const Step *step = current();
    return step && step->kind == Step::Kind::Wait && !m_session.AckReceived;
}

void StepEngine::send(const Step &step)
{
    m_port.output(frameFor(step.command));
    m_fields.sentAt = m_clock.now();
    m_session.AckReceived = false;
    if (step.asksVersion)
        m_session.WantVersion = true;   // after the write, before any poll can see the report
    ++m_fields.state;
}

StepEvent StepEngine::wait(const Step &step)
{
    ReadBuffer(m_session, m_port);
    m_fields.polledAt = m_clock.now();
    if (m_session.AckReceived) {
        if (!step.holdsOnAcknowledgement)
            ++m_fields.state;
        return StepEvent::Acknowledged;
    }
    if (!limitPassed(m_fields.sentAt, m_fields.polledAt, step.limitSeconds))
        return StepEvent::None;
    if (step.end == Step::End::Strict)
        return StepEvent::RanOut;
    m_session.AckReceived = true;   // the next tick polls once more and goes on
    return StepEvent::None;
}

void StepEngine::drainOnce()
{
    ReadBuffer(m_session, m_port);
    m_fields.polledAt = m_clock.now();
    ++m_fields.state;
    m_session.AckReceived = true;
}
