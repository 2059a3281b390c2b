#include "flash/PacedTimer.h"

PacedTimer::PacedTimer(QObject *parent) : QTimer(parent), m_designedMs(QTimer::interval())
{
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
    if (QTimer::interval() != m_designedMs)
        QTimer::setInterval(m_designedMs);
}

int PacedTimer::cadence() const
{
    return isActive() ? QTimer::interval() : -1;
}

void PacedTimer::setCadence(int ms)
{
    if (!isActive() || ms < 0 || ms == cadence())
        return;
    QTimer::setInterval(ms);
}
