#pragma once

#include "link/CommPort.h"
#include "link/Frames.h"

#include <memory>

// The real serial port with one deliberate protocol fault in what the wizard sends,
// at one firmware line: the camera's verdict must catch each of them.
class FaultySender : public CommPort {
public:
    enum class Fault {
        StrayByte,    // a byte outside any frame, just before the line's frame
        DoubledEot,   // the line's frame ends in two EOTs
        EarlyLine,    // the line's frame at once a second time, before any acknowledgement
    };
    static constexpr char kStrayByte = 'U';

    FaultySender(std::unique_ptr<CommPort> port, Fault fault, int atLine)
        : m_port(std::move(port)), m_fault(fault), m_atLine(atLine)
    {
    }

    bool portOpen() const override { return m_port->portOpen(); }
    void close() override { m_port->close(); }
    void setCommPort(qint16 number) override { m_port->setCommPort(number); }
    void open() override { m_port->open(); }
    QByteArray input() override { return m_port->input(); }

    // The line transfer writes a frame in three parts: head, record, EOT.
    void output(const QByteArray &bytes) override
    {
        if (bytes == lineFrameHead()) {
            ++m_linesStarted;
            if (atFaultyLine() && m_fault == Fault::StrayByte)
                m_port->output(QByteArray(1, kStrayByte));
        } else if (atFaultyLine() && bytes != lineFrameTail()) {
            m_record = bytes;
        }
        m_port->output(bytes);
        if (bytes == lineFrameTail() && atFaultyLine() && !m_done) {
            m_done = true;
            if (m_fault == Fault::DoubledEot)
                m_port->output(lineFrameTail());
            else if (m_fault == Fault::EarlyLine)
                m_port->output(lineFrameHead() + m_record + lineFrameTail());
        }
    }

private:
    bool atFaultyLine() const { return m_linesStarted == m_atLine + 1; }

    std::unique_ptr<CommPort> m_port;
    Fault m_fault;
    int m_atLine;
    int m_linesStarted = 0;
    bool m_done = false;
    QByteArray m_record;
};
