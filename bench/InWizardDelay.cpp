#include "bench/InWizardDelay.h"

#include "app/frmRevertex.h"
#include "bench/CpuReading.h"

#include <QSerialPort>
#include <QTimer>

InWizardDelay::InWizardDelay(const frmRevertex &window, QSerialPort *serial, QTimer *lineTimer)
{
    connect(serial, &QSerialPort::readyRead, this, [this] { m_lastArrival = monotonicSeconds(); });
    connect(lineTimer, &QTimer::timeout, this, [this, &window] {
        const qint32 line = window.session().LineIndex;
        if (line == m_lastLine)
            return;   // a tick that only polled
        const double sentAt = monotonicSeconds();
        if (m_lastLine >= 0 && m_lastArrival >= 0 && line < qint32(window.firmwareLines().size()))
            m_delays.push_back(sentAt - m_lastArrival);
        m_lastLine = line;
    });
}
