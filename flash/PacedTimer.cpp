#include "flash/PacedTimer.h"

#include <QAbstractEventDispatcher>

PacedTimer::PacedTimer(QObject *parent) : QTimer(parent)
{
    // Every start and stop registers the timer anew at its interval.
    m_startsAndStops = bindableActive().addNotifier([this] { m_paced = false; });
}

int PacedTimer::cadence() const
{
    if (!isActive())
        return -1;
    return m_paced ? m_cadenceMs : interval();
}

void PacedTimer::setCadence(int ms)
{
    if (!isActive() || ms < 0 || ms == cadence())
        return;
    QAbstractEventDispatcher *dispatcher = QAbstractEventDispatcher::instance(thread());
    if (!dispatcher)
        return;
    // The same timer id stays registered to this timer, so QTimer's own stop() and
    // start() go on working on it.
    const int id = timerId();
    if (!dispatcher->unregisterTimer(id))
        return;
    dispatcher->registerTimer(id, ms, timerType(), this);
    m_paced = true;
    m_cadenceMs = ms;
}
