#include "link/SerialPortControl.h"

#include "link/ComPortsPresent.h"
#include "link/OpenFailureCause.h"
#include "link/RuntimeError.h"

#include <QDeadlineTimer>

#include <optional>
#include <utility>

namespace {

constexpr qint32 kBaudRate = 9600;
constexpr QSerialPort::DataBits kDataBits = QSerialPort::Data8;
constexpr QSerialPort::Parity kParity = QSerialPort::NoParity;
constexpr QSerialPort::StopBits kStopBits = QSerialPort::OneStop;
constexpr QSerialPort::FlowControl kFlowControl = QSerialPort::NoFlowControl;

// Received bytes held until the next input(); beyond this QSerialPort stops reading
// and the rest waits in the driver, so nothing is lost. The 512-byte transmit buffer
// of the port configuration has no counterpart: QSerialPort's write queue is unbounded,
// and the sequences never have more than one frame (at most ~140 bytes) in flight.
constexpr qint64 kReadBufferBytes = 1024;

// Why the port closed under us, and the operation that failed where Qt names one. Qt's
// error text alone can mislead: a vanished device often comes with a stale errno.
struct DeviceFailure {
    std::optional<CommPortState::Operation> failedIn;
    QString cause;
};

DeviceFailure deviceFailure(QSerialPort::SerialPortError error, const QString &reason)
{
    switch (error) {
    case QSerialPort::ReadError:
        return {CommPortState::Operation::Reading, QStringLiteral("the device failed or went away (%1)").arg(reason)};
    case QSerialPort::WriteError:
        return {CommPortState::Operation::Writing, QStringLiteral("the device failed or went away (%1)").arg(reason)};
    case QSerialPort::ResourceError:
        return {std::nullopt, QStringLiteral("device no longer available (%1)").arg(reason)};
    default:
        return {std::nullopt, QStringLiteral("device error %1 (%2)").arg(int(error)).arg(reason)};
    }
}

} // namespace

SerialPortControl::SerialPortControl(QObject *parent) : QObject(parent), m_port(new QSerialPort(this))
{
    m_port->setReadBufferSize(kReadBufferBytes);
    connect(m_port, &QSerialPort::errorOccurred, this, &SerialPortControl::onError);
    connect(m_port, &QSerialPort::readyRead, this, [this] {
        if (m_arrival)
            m_arrival();
    });
}

SerialPortControl::~SerialPortControl()
{
    disconnect(m_port, nullptr, this, nullptr);
    if (m_port->isOpen())
        m_port->close();
}

QString SerialPortControl::deviceFor(qint16 number)
{
    return currentComPort(number).device;
}

bool SerialPortControl::portOpen() const
{
    return m_port->isOpen();
}

// QSerialPort drops what it still holds when it closes. Bytes that arrive meanwhile are
// read by the wait but not told of: the port is closing, nobody will take them in.
void SerialPortControl::sendQueued()
{
    const std::function<void()> arrival = std::exchange(m_arrival, {});
    const QDeadlineTimer limit(kCloseDrainLimitMs);
    while (m_port->isOpen() && m_port->bytesToWrite() > 0 && !limit.hasExpired())
        if (!m_port->waitForBytesWritten(int(limit.remainingTime())))
            break;   // the limit passed, or the device failed: what is left is dropped
    m_arrival = arrival;
}

void SerialPortControl::close()
{
    if (m_port->isOpen())
        sendQueued();   // a device that fails meanwhile closes the port itself
    if (m_port->isOpen())
        m_port->close();   // QSerialPort reports NotOpenError for a closed port: not asked for
    m_state.forgetFailure();
}

void SerialPortControl::setCommPort(qint16 number)
{
    m_state.select(number, m_port->isOpen());
}

bool SerialPortControl::applySettings()
{
    return m_port->setBaudRate(kBaudRate) && m_port->setDataBits(kDataBits) && m_port->setParity(kParity)
        && m_port->setStopBits(kStopBits) && m_port->setFlowControl(kFlowControl);
}

void SerialPortControl::open()
{
    m_state.startOpening(m_port->isOpen());
    // Worked out at every open: an adapter plugged in since the last one counts.
    const QString device = m_fixedDevice.isEmpty() ? deviceFor(m_state.number()) : m_fixedDevice;
    m_state.setDevice(device);
    if (device.isEmpty())
        m_state.cannotOpen(CommError::InvalidPort,
                           QStringLiteral("no such device: no serial port is present as COM %1 "
                                          "(revertex --list-ports shows them)")
                               .arg(m_state.number()));

    m_opening = true;
    m_port->setPortName(device);
    applySettings();   // stored now, applied by the open; checked again below
    const bool opened = m_port->open(QIODevice::ReadWrite);
    const QSerialPort::SerialPortError error = m_port->error();
    const QString reason = m_port->errorString();

    if (!opened) {
        m_opening = false;
        int number = CommError::OpenFailed;
        switch (error) {
        case QSerialPort::DeviceNotFoundError:
            number = CommError::InvalidPort;
            break;
        case QSerialPort::PermissionError:   // lock file held, or the device is busy (TIOCEXCL)
        case QSerialPort::ResourceError:
            number = CommError::PortAlreadyOpen;
            break;
        default:
            break;
        }
        m_state.cannotOpen(number, describeOpenFailure(gatherOpenFailureFacts(device, reason)));
    }

    // Some drivers accept the open but refuse a setting; a port that does not run at
    // 9600 8N1 would only garble the conversation with the camera.
    const bool configured = applySettings();
    const QString settingsReason = m_port->errorString();
    m_opening = false;
    if (!configured) {
        m_port->close();
        m_state.cannotConfigure(settingsReason);
    }
    m_lowLatency = requestLowLatency(m_port->handle());   // a refusal changes nothing
}

void SerialPortControl::output(const QByteArray &bytes)
{
    using Operation = CommPortState::Operation;
    if (!m_port->isOpen())
        m_state.throwClosed(Operation::Writing);
    const qint64 written = m_port->write(bytes);
    if (written != bytes.size()) {
        const QString reason = m_port->errorString();
        m_port->close();
        m_state.fail(Operation::Writing, reason);
    }
    // Hands the driver what it takes now; the rest follows from the event loop.
    // Never waits for transmission.
    m_port->flush();
    if (!m_port->isOpen())
        m_state.throwClosed(Operation::Writing);   // the device failed during the write
}

QByteArray SerialPortControl::input()
{
    if (!m_port->isOpen())
        m_state.throwClosed(CommPortState::Operation::Reading);
    return m_port->readAll();
}

bool SerialPortControl::notifyArrivals(std::function<void()> handler)
{
    m_arrival = std::move(handler);
    return true;
}

void SerialPortControl::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (m_opening || !m_port->isOpen())
        return;
    // Closing here stops QSerialPort's notifiers, which would otherwise report the same
    // dead device again on every turn of the event loop.
    const DeviceFailure failure = deviceFailure(error, m_port->errorString());
    m_state.note(failure.failedIn, failure.cause);
    m_port->close();
}
