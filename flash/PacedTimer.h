#pragma once

#include <QTimer>

// A sequence timer whose ticks can be moved off its designed interval while it keeps
// its name and its enabled state. Started, stopped and read through PacedTimer, it
// reads as designed: interval() is the designed interval, and every start() and stop()
// returns it to that interval. Pacing sets the running QTimer's interval to the cadence
// (QTimer restarts itself at a new interval), so QTimer::interval() tells the cadence.
class PacedTimer : public QTimer {
    Q_OBJECT
public:
    explicit PacedTimer(QObject *parent = nullptr);

    void setInterval(int ms);
    int interval() const { return m_designedMs; }
    void start();
    void stop();

    // The next ticks come every `ms` milliseconds (0: on the next turn of the event
    // loop). A running timer already at that cadence keeps its rhythm; a stopped one
    // stays stopped.
    void setCadence(int ms);

    // Milliseconds between the ticks now: the designed interval unless paced; -1 when
    // the timer is not running.
    int cadence() const;

private:
    void returnToDesignedInterval();

    int m_designedMs = 0;
};
