#pragma once

#include <QObject>

#include <vector>

class PacedTimer;
class QSerialPort;
class frmRevertex;

// For every firmware line, seen from inside the wizard (CLOCK_MONOTONIC seconds, the
// simulator's clock as well): when the port last gave word of arriving bytes before the
// line went out (the acknowledgement of the line before), and when the tick that wrote
// the line ended. Beside the simulator's times these split the delay per line into the
// wizard waking up, the wizard's own ticks, and the line reaching the simulator.
class LineSendTimes : public QObject {
public:
    // Watches the port's readyRead and the line transfer's ticks. Connect after the
    // window, so each tick is seen once it has run.
    LineSendTimes(const frmRevertex &window, QSerialPort *serial, PacedTimer *lineTimer);

    // Indexed by line; -1 where nothing was seen.
    const std::vector<double> &wordOfAckAt() const { return m_wordOfAck; }
    const std::vector<double> &writtenAt() const { return m_written; }

private:
    std::vector<double> m_wordOfAck;
    std::vector<double> m_written;
    double m_lastArrival = -1;
    qint32 m_lastLine = -1;
};
