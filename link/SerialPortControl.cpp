#include "link/SerialPortControl.h"

#include "link/ComPortsPresent.h"
#include "link/OpenFailureCause.h"
#include "link/RuntimeError.h"

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

// Qt's error text alone can mislead: a vanished device often comes with a stale errno.
QString describe(QSerialPort::SerialPortError error)
{
    switch (error) {
    case QSerialPort::ReadError:
        return QStringLiteral("read error");
    case QSerialPort::WriteError:
        return QStringLiteral("write error");
    case QSerialPort::ResourceError:
        return QStringLiteral("device no longer available");
    default:
        return QStringLiteral("device error %1").arg(int(error));
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

QString SerialPortControl::portName() const
{
    if (!m_fixedDevice.isEmpty())
        return m_fixedDevice;
    const QString com = QStringLiteral("COM%1").arg(m_number);
    return m_device.isEmpty() || m_device == com ? com : QStringLiteral("%1 (%2)").arg(com, m_device);
}

bool SerialPortControl::portOpen() const
{
    return m_port->isOpen();
}

void SerialPortControl::close()
{
    m_failure.clear();
    if (m_port->isOpen())
        m_port->close();   // QSerialPort reports NotOpenError for a closed port: not asked for
}

void SerialPortControl::setCommPort(qint16 number)
{
    if (m_port->isOpen())
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open: %1").arg(portName()));
    if (number < 1)
        throw RuntimeError(CommError::InvalidPort, QStringLiteral("Invalid port number %1").arg(number));
    m_number = number;
    m_device.clear();
}

bool SerialPortControl::applySettings()
{
    return m_port->setBaudRate(kBaudRate) && m_port->setDataBits(kDataBits) && m_port->setParity(kParity)
        && m_port->setStopBits(kStopBits) && m_port->setFlowControl(kFlowControl);
}

void SerialPortControl::open()
{
    if (m_port->isOpen())
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open: %1").arg(portName()));

    m_failure.clear();
    // Worked out at every open: an adapter plugged in since the last one counts.
    m_device = m_fixedDevice.isEmpty() ? deviceFor(m_number) : m_fixedDevice;
    if (m_device.isEmpty())
        throw RuntimeError(CommError::InvalidPort,
                           QStringLiteral("Cannot open COM%1: no such device: no serial port is present as COM %1 "
                                          "(revertex --list-ports shows them)")
                               .arg(m_number));

    m_opening = true;
    m_port->setPortName(m_device);
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
        const QString cause = describeOpenFailure(gatherOpenFailureFacts(m_device, reason));
        throw RuntimeError(number, QStringLiteral("Cannot open %1: %2").arg(portName(), cause));
    }

    // Some drivers accept the open but refuse a setting; a port that does not run at
    // 9600 8N1 would only garble the conversation with the camera.
    const bool configured = applySettings();
    const QString settingsReason = m_port->errorString();
    m_opening = false;
    if (!configured) {
        m_port->close();
        throw RuntimeError(CommError::OpenFailed,
                           QStringLiteral("Cannot configure %1 for 9600 8N1: %2").arg(portName(), settingsReason));
    }
    m_lowLatency = requestLowLatency(m_port->handle());   // a refusal changes nothing
}

void SerialPortControl::output(const QByteArray &bytes)
{
    if (!m_port->isOpen())
        throwClosed(CommError::WriteFailed);
    const qint64 written = m_port->write(bytes);
    if (written != bytes.size()) {
        const QString reason = m_port->errorString();
        throw RuntimeError(CommError::WriteFailed, QStringLiteral("Error writing %1: %2").arg(portName(), reason));
    }
    // Hands the driver what it takes now; the rest follows from the event loop.
    // Never waits for transmission.
    m_port->flush();
    if (!m_port->isOpen())
        throwClosed(CommError::WriteFailed);   // the device failed during the write
}

QByteArray SerialPortControl::input()
{
    if (!m_port->isOpen())
        throwClosed(CommError::ReadFailed);
    return m_port->readAll();
}

bool SerialPortControl::notifyArrivals(std::function<void()> handler)
{
    m_arrival = std::move(handler);
    return true;
}

void SerialPortControl::throwClosed(int failureNumber) const
{
    if (!m_failure.isEmpty())
        throw RuntimeError(failureNumber, QStringLiteral("%1 failed: %2").arg(portName(), m_failure));
    throw RuntimeError(CommError::PortNotOpen, QStringLiteral("The device is not open: %1").arg(portName()));
}

void SerialPortControl::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError)
        return;
    if (m_opening || !m_port->isOpen())
        return;
    // Closing here stops QSerialPort's notifiers, which would otherwise report the same
    // dead device again on every turn of the event loop.
    m_failure = QStringLiteral("%1 (%2)").arg(describe(error), m_port->errorString());
    m_port->close();
}
