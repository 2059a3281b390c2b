#include "link/Win32CommPort.h"

#include "link/RuntimeError.h"

#include <windows.h>

namespace {

constexpr DWORD kBaudRate = CBR_9600;
constexpr BYTE kDataBits = 8;

// Driver queue sizes the port asks for: input held until the next poll, and the
// transmit side, which never holds more than one frame (at most ~140 bytes).
constexpr DWORD kInputQueueBytes = 1024;
constexpr DWORD kOutputQueueBytes = 512;

// A write normally returns as soon as the driver holds the bytes. Without flow control
// nothing can hold the line, so a write still pending after this long (plus the time
// the bytes take at 9600 baud, about 1 ms each) means the device has failed.
constexpr DWORD kWriteTimeoutMs = 2000;
constexpr DWORD kWriteTimeoutPerByteMs = 2;

QString systemMessage(DWORD error)
{
    return QStringLiteral("%1 (error %2)").arg(qt_error_string(int(error))).arg(error);
}

int openFailureNumber(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return CommError::InvalidPort;
    case ERROR_ACCESS_DENIED:       // another program has the port open
    case ERROR_SHARING_VIOLATION:
        return CommError::PortAlreadyOpen;
    default:
        return CommError::OpenFailed;
    }
}

// 9600 8N1, binary, no flow control of any kind; DTR and RTS raised, as a terminal
// program leaves them.
bool configure(HANDLE handle)
{
    DCB dcb;
    ZeroMemory(&dcb, sizeof dcb);
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle, &dcb))
        return false;
    dcb.BaudRate = kBaudRate;
    dcb.ByteSize = kDataBits;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fAbortOnError = FALSE;   // a line error must not stall every later read and write
    if (!SetCommState(handle, &dcb))
        return false;

    // A read returns at once with whatever has arrived: the poll never waits.
    COMMTIMEOUTS timeouts;
    ZeroMemory(&timeouts, sizeof timeouts);
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 0;
    timeouts.WriteTotalTimeoutMultiplier = kWriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    if (!SetCommTimeouts(handle, &timeouts))
        return false;

    return SetupComm(handle, kInputQueueBytes, kOutputQueueBytes)
        && PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

} // namespace

Win32CommPort::~Win32CommPort()
{
    closeHandle();
}

QString Win32CommPort::deviceFor(qint16 number)
{
    return QStringLiteral("\\\\.\\COM%1").arg(number);
}

QString Win32CommPort::portName() const
{
    return QStringLiteral("COM%1").arg(m_number);
}

bool Win32CommPort::portOpen() const
{
    return m_handle != nullptr;
}

void Win32CommPort::closeHandle()
{
    if (m_handle) {
        CloseHandle(m_handle);   // nothing to do if it fails: the handle is gone either way
        m_handle = nullptr;
    }
}

void Win32CommPort::close()
{
    m_failure.clear();
    closeHandle();
}

void Win32CommPort::setCommPort(qint16 number)
{
    if (m_handle)
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open: %1").arg(portName()));
    if (number < 1)
        throw RuntimeError(CommError::InvalidPort, QStringLiteral("Invalid port number %1").arg(number));
    m_number = number;
}

void Win32CommPort::open()
{
    if (m_handle)
        throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open: %1").arg(portName()));
    m_failure.clear();

    const std::wstring device = deviceFor(m_number).toStdWString();
    HANDLE handle = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        throw RuntimeError(openFailureNumber(error),
                           QStringLiteral("Cannot open %1: %2").arg(portName(), systemMessage(error)));
    }
    if (!configure(handle)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        throw RuntimeError(CommError::OpenFailed,
                           QStringLiteral("Cannot configure %1 for 9600 8N1: %2").arg(portName(), systemMessage(error)));
    }
    m_handle = handle;
}

void Win32CommPort::output(const QByteArray &bytes)
{
    if (!m_handle)
        throwClosed(CommError::WriteFailed);
    if (bytes.isEmpty())
        return;
    DWORD written = 0;
    if (!WriteFile(m_handle, bytes.constData(), DWORD(bytes.size()), &written, nullptr))
        failAndClose(CommError::WriteFailed, QStringLiteral("write error"), GetLastError());
    if (written != DWORD(bytes.size()))
        failAndClose(CommError::WriteFailed,
                     QStringLiteral("wrote %1 of %2 bytes").arg(written).arg(bytes.size()), ERROR_TIMEOUT);
}

QByteArray Win32CommPort::input()
{
    if (!m_handle)
        throwClosed(CommError::ReadFailed);

    DWORD lineErrors = 0;
    COMSTAT status;
    ZeroMemory(&status, sizeof status);
    if (!ClearCommError(m_handle, &lineErrors, &status))
        failAndClose(CommError::ReadFailed, QStringLiteral("read error"), GetLastError());
    if (status.cbInQue == 0)
        return QByteArray();

    QByteArray received(qsizetype(status.cbInQue), Qt::Uninitialized);
    DWORD read = 0;
    if (!ReadFile(m_handle, received.data(), status.cbInQue, &read, nullptr))
        failAndClose(CommError::ReadFailed, QStringLiteral("read error"), GetLastError());
    received.truncate(qsizetype(read));   // the read never waits, so never more than counted
    return received;
}

void Win32CommPort::failAndClose(int failureNumber, const QString &what, unsigned long systemError)
{
    m_failure = QStringLiteral("%1: %2").arg(what, systemMessage(systemError));
    closeHandle();
    throw RuntimeError(failureNumber, QStringLiteral("%1 failed: %2").arg(portName(), m_failure));
}

void Win32CommPort::throwClosed(int failureNumber) const
{
    if (!m_failure.isEmpty())
        throw RuntimeError(failureNumber, QStringLiteral("%1 failed: %2").arg(portName(), m_failure));
    throw RuntimeError(CommError::PortNotOpen, QStringLiteral("The device is not open: %1").arg(portName()));
}
