#include "link/LoggingCommPort.h"

#include "link/Frames.h"
#include "link/ReplyHandling.h"
#include "link/RuntimeError.h"

#include <utility>

namespace {

QString hex(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

// Printable ASCII as it is, anything else as \xHH.
QString printable(const QByteArray &bytes)
{
    QString text;
    for (char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '"')
            text += QLatin1Char(c);
        else
            text += QStringLiteral("\\x") + QString::number(byte, 16).rightJustified(2, QLatin1Char('0')).toUpper();
    }
    return text;
}

} // namespace

LoggingCommPort::LoggingCommPort(std::unique_ptr<CommPort> inner, std::shared_ptr<WireLog> log, QString name)
    : m_inner(std::move(inner)), m_log(std::move(log)), m_name(std::move(name))
{
}

LoggingCommPort::~LoggingCommPort()
{
    logUnended();
}

QString LoggingCommPort::label() const
{
    return m_name.isEmpty() ? QStringLiteral("COM%1").arg(m_number) : m_name;
}

QString LoggingCommPort::spelledOut(const QByteArray &frame, int lineNumber)
{
    QByteArray body = frame;
    const bool started = body.startsWith(Frame::STX);
    const bool ended = body.endsWith(Frame::EOT);
    if (started)
        body.remove(0, 1);
    if (ended)
        body.chop(1);
    QString text = started ? QStringLiteral("STX ") : QString();
    if (lineNumber >= 0)
        text += QStringLiteral("\"%1\" line %2").arg(QString::fromLatin1(lineFrameHead().mid(1)), QString::number(lineNumber));
    else
        text += QLatin1Char('"') + printable(body) + QLatin1Char('"');
    if (ended)
        text += QStringLiteral(" EOT");
    if (isAcknowledgement(frame))
        text += QStringLiteral(" (acknowledgement)");
    return text;
}

// Runs one operation of the inner port; a failure goes into the log before it goes on.
template <class Operation> auto LoggingCommPort::logged(const char *what, Operation operation)
{
    try {
        return operation();
    } catch (const RuntimeError &error) {
        m_log->write(label(), QStringLiteral("%1 failed: error %2: %3")
                                  .arg(QLatin1String(what), QString::number(error.number()), error.description()));
        throw;
    }
}

void LoggingCommPort::logFrames(QByteArray &pending, bool sent)
{
    const QByteArray head = lineFrameHead();
    for (qsizetype end = pending.indexOf(Frame::EOT); end >= 0; end = pending.indexOf(Frame::EOT)) {
        const QByteArray frame = pending.left(end + 1);
        pending.remove(0, end + 1);
        int lineNumber = -1;
        if (sent && frame == frameFor(Command::ckl0))
            m_linesSent = 0;
        else if (sent && frame.startsWith(head))
            lineNumber = m_linesSent++;
        m_log->write(label(), QStringLiteral("%1 %2 bytes: %3  %4")
                                  .arg(sent ? QStringLiteral("sent") : QStringLiteral("received"))
                                  .arg(frame.size())
                                  .arg(hex(frame), spelledOut(frame, lineNumber)));
    }
}

void LoggingCommPort::logUnended()
{
    if (!m_receiving.isEmpty())
        m_log->write(label(), QStringLiteral("received %1 bytes without an EOT: %2  %3")
                                  .arg(m_receiving.size())
                                  .arg(hex(m_receiving), spelledOut(m_receiving)));
    if (!m_sending.isEmpty())
        m_log->write(label(), QStringLiteral("sent %1 bytes without an EOT: %2")
                                  .arg(m_sending.size())
                                  .arg(hex(m_sending)));
    m_receiving.clear();
    m_sending.clear();
}

bool LoggingCommPort::portOpen() const
{
    return m_inner->portOpen();
}

void LoggingCommPort::close()
{
    const bool wasOpen = m_inner->portOpen();
    logged("close", [this] { m_inner->close(); });
    if (wasOpen) {
        logUnended();
        m_log->write(label(), QStringLiteral("closed"));
    }
}

void LoggingCommPort::setCommPort(qint16 number)
{
    logged("select", [this, number] { m_inner->setCommPort(number); });
    m_number = number;
}

void LoggingCommPort::open()
{
    logged("open", [this] { m_inner->open(); });
    m_log->write(label(), QStringLiteral("opened: 9600 baud, 8 data bits, no parity, 1 stop bit"));
}

void LoggingCommPort::output(const QByteArray &bytes)
{
    logged("write", [this, &bytes] { m_inner->output(bytes); });
    m_sending += bytes;
    logFrames(m_sending, true);
}

QByteArray LoggingCommPort::input()
{
    const QByteArray bytes = logged("read", [this] { return m_inner->input(); });
    m_receiving += bytes;
    logFrames(m_receiving, false);
    return bytes;
}

bool LoggingCommPort::notifyArrivals(std::function<void()> handler)
{
    return m_inner->notifyArrivals(std::move(handler));
}
