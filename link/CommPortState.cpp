#include "link/CommPortState.h"

#include "link/RuntimeError.h"

namespace {

int failureNumberOf(CommPortState::Operation operation)
{
    return operation == CommPortState::Operation::Writing ? CommError::WriteFailed : CommError::ReadFailed;
}

} // namespace

QString CommPortState::name() const
{
    if (m_nameByDevice && !m_device.isEmpty())
        return m_device;
    const QString com = QStringLiteral("COM%1").arg(m_number);
    return m_device.isEmpty() || m_device == com ? com : QStringLiteral("%1 (%2)").arg(com, m_device);
}

void CommPortState::select(qint16 number, bool portOpen)
{
    if (portOpen)
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open: %1").arg(name()));
    if (number < 1)
        throw RuntimeError(CommError::InvalidPort, QStringLiteral("Invalid port number %1").arg(number));
    m_number = number;
    m_device.clear();
}

void CommPortState::startOpening(bool portOpen)
{
    if (portOpen)
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open: %1").arg(name()));
    m_failure.reset();
}

void CommPortState::cannotOpen(int failureNumber, const QString &cause) const
{
    throw RuntimeError(failureNumber, QStringLiteral("Cannot open %1: %2").arg(name(), cause));
}

void CommPortState::cannotConfigure(const QString &reason) const
{
    throw RuntimeError(CommError::OpenFailed, QStringLiteral("Cannot configure %1 for 9600 8N1: %2").arg(name(), reason));
}

QString CommPortState::describe(Operation failedIn, const QString &cause) const
{
    const char *doing = failedIn == Operation::Writing ? "writing" : "reading";
    return QStringLiteral("Error %1 %2: %3").arg(QLatin1String(doing), name(), cause);
}

void CommPortState::note(std::optional<Operation> failedIn, const QString &cause)
{
    m_failure = Failure{failedIn, cause};
}

void CommPortState::fail(Operation reporting, Operation failedIn, const QString &cause)
{
    note(failedIn, cause);
    throwClosed(reporting);
}

void CommPortState::throwClosed(Operation reporting) const
{
    if (m_failure)
        throw RuntimeError(failureNumberOf(reporting), describe(m_failure->failedIn.value_or(reporting), m_failure->cause));
    throw RuntimeError(CommError::PortNotOpen, QStringLiteral("The device is not open: %1").arg(name()));
}
