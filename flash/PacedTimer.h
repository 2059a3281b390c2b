#pragma once

#include <QTimer>

// A sequence timer whose ticks can be moved off its designed interval while it keeps
// its name and its enabled state. Started, stopped and read through PacedTimer, it
// reads as designed: interval() is the designed interval, and every start() and stop()
// returns it to that interval. Its ticks come as ticked(), never through timeout().
//
// Pacing at a cadence of some milliseconds sets the running QTimer's interval (QTimer
// restarts itself at a new interval), so QTimer::interval() tells that cadence. Pacing
// "at once" leaves the QTimer as it is and ticks on each turn of the event loop until
// paced otherwise: on Windows every change of a fine timer's interval ends one system
// timer and makes another, which costs far more than a tick, and a sequence goes from
// at once to its wait and back twice for every firmware line. So after an at-once
// stint the next tick can come sooner than the cadence paced then, never later.
//
// At once, a turn of the event loop brings up to kAtOnceTicksPerTurn ticks, each only
// while the timer still runs at once: the tick that takes in an acknowledgement and the
// one that sends on then share a turn. A turn of the loop costs most where a line's
// time matters most, under Windows, whose posted messages go through the system.
class PacedTimer : public QTimer {
    Q_OBJECT
public:
    static constexpr int kAtOnceTicksPerTurn = 2;

    explicit PacedTimer(QObject *parent = nullptr);

    void setInterval(int ms);
    int interval() const { return m_designedMs; }
    void start();
    void stop();

    // The next ticks come every `ms` milliseconds (0: on each turn of the event loop).
    // A running timer already at that cadence keeps its rhythm; a stopped one stays
    // stopped.
    void setCadence(int ms);

    // Milliseconds between the ticks now: the designed interval unless paced; -1 when
    // the timer is not running.
    int cadence() const;

signals:
    void ticked();

private:
    void returnToDesignedInterval();
    void tickAtOnceSoon();

    int m_designedMs = 0;
    bool m_atOnce = false;           // paced at once: the ticks come from the event loop's turns
    bool m_atOnceTickQueued = false;
};
