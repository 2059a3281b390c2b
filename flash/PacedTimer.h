#pragma once

#include <QProperty>
#include <QTimer>

// A window timer whose ticks can be moved off its designed interval while it keeps
// its name, its interval and its enabled state: interval() and isActive() read as
// designed, and it is started and stopped as any QTimer. Only when its next ticks
// come changes, by moving the running timer's registration with the event dispatcher.
// Starting the timer again returns it to its designed interval.
class PacedTimer : public QTimer {
    Q_OBJECT
public:
    explicit PacedTimer(QObject *parent = nullptr);

    // The next ticks come every `ms` milliseconds (0: on the next turn of the event
    // loop). A running timer already at that cadence keeps its rhythm; a stopped one
    // stays stopped.
    void setCadence(int ms);

    // Milliseconds between the ticks now: the designed interval unless paced; -1 when
    // the timer is not running.
    int cadence() const;

private:
    bool m_paced = false;      // this run of the timer ticks at m_cadenceMs
    int m_cadenceMs = 0;
    QPropertyNotifier m_startsAndStops;
};
