#pragma once

#include <QObject>

#include <vector>

class QSerialPort;
class QTimer;
class frmRevertex;

// The wizard's own share of the delay per line: from the port's word that bytes arrived
// (the acknowledgement of a line) to the end of the tick that wrote the next line. The
// rest of the delay the simulator sees lies in the two processes waking up and in the
// pseudo-terminal.
class InWizardDelay : public QObject {
public:
    // Watches the port's readyRead and the line transfer's ticks; connect after the
    // window, so each tick is seen once it has run.
    InWizardDelay(const frmRevertex &window, QSerialPort *serial, QTimer *lineTimer);

    // Seconds, one for each line after the first.
    const std::vector<double> &delays() const { return m_delays; }

private:
    std::vector<double> m_delays;
    double m_lastArrival = -1;
    qint32 m_lastLine = -1;
};
