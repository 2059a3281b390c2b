#include "bench/LineSendTimes.h"

#include "app/frmRevertex.h"
#include "bench/CpuReading.h"
#include "flash/PacedTimer.h"

#include <QSerialPort>

LineSendTimes::LineSendTimes(const frmRevertex &window, QSerialPort *serial, PacedTimer *lineTimer)
    : m_wordOfAck(window.firmwareLines().size(), -1), m_written(window.firmwareLines().size(), -1)
{
    connect(serial, &QSerialPort::readyRead, this, [this] { m_lastArrival = monotonicSeconds(); });
    connect(lineTimer, &PacedTimer::ticked, this, [this, &window] {
        const qint32 line = window.session().LineIndex;
        if (line == m_lastLine)
            return;   // a tick that only polled
        m_lastLine = line;
        if (line < 0 || std::size_t(line) >= m_written.size())
            return;   // the tick after the last line
        m_written[std::size_t(line)] = monotonicSeconds();
        m_wordOfAck[std::size_t(line)] = m_lastArrival;
    });
}
