#include "flash/PacedTimer.h"

PacedTimer::PacedTimer(QObject *parent) : QTimer(parent), m_designedMs(QTimer::interval())
{
    connect(this, &QTimer::timeout, this, [this] {
        if (!m_atOnce)
            emit ticked();
    });
}

void PacedTimer::setInterval(int ms)
{
    m_designedMs = ms;
    QTimer::setInterval(ms);
}

void PacedTimer::start()
{
    returnToDesignedInterval();
    QTimer::start();
}

void PacedTimer::stop()
{
    QTimer::stop();
    returnToDesignedInterval();
}

void PacedTimer::returnToDesignedInterval()
{
    m_atOnce = false;
    if (QTimer::interval() != m_designedMs)
        QTimer::setInterval(m_designedMs);
}

int PacedTimer::cadence() const
{
    if (!isActive())
        return -1;
    return m_atOnce ? 0 : QTimer::interval();
}

void PacedTimer::setCadence(int ms)
{
    if (!isActive() || ms < 0 || ms == cadence())
        return;
    m_atOnce = ms == 0;
    if (m_atOnce)
        tickAtOnceSoon();
    else if (QTimer::interval() != ms)
        QTimer::setInterval(ms);
}

// Ticks on the next turn of the event loop, and on each turn after while the timer
// runs at once. Ticks queued before a stop, a restart or another cadence are dropped,
// unless the timer runs at once again by the time they come.
void PacedTimer::tickAtOnceSoon()
{
    if (m_atOnceTickQueued)
        return;
    m_atOnceTickQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_atOnceTickQueued = false;
            for (int i = 0; i < kAtOnceTicksPerTurn && m_atOnce && isActive(); ++i)
                emit ticked();
            if (m_atOnce && isActive())
                tickAtOnceSoon();
        },
        Qt::QueuedConnection);
}
