#include "link/Win32CommPort.h"

#include "link/Frames.h"
#include "link/RuntimeError.h"

#include <QCoreApplication>

#include <windows.h>

namespace {

constexpr DWORD kBaudRate = CBR_9600;
constexpr BYTE kDataBits = 8;

// Driver queue sizes the port asks for: input held until the next poll, and the
// transmit side, which never holds more than one frame (at most ~140 bytes).
constexpr DWORD kInputQueueBytes = 1024;
constexpr DWORD kOutputQueueBytes = 512;

// Without flow control nothing can hold the line, so a write still unfinished after this
// long (plus the time its bytes take at 9600 baud, about 1 ms each) means the device has
// failed; the driver then ends it with an error that the next call reports.
constexpr DWORD kWriteTimeoutMs = 2000;
constexpr DWORD kWriteTimeoutPerByteMs = 2;

// While close() lets the queued writes go out, or waits for cancelled ones to end: how
// often it looks whether they have.
constexpr DWORD kDrainLookMs = 1;
// A cancelled write is ended by the driver at once: waited for without a deadline.
constexpr ULONGLONG kNoDeadline = ~ULONGLONG(0);

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

// An FTDI adapter holds short replies for its latency timer (16 ms unless set otherwise)
// but passes what it holds on at once when the event character arrives; its Windows
// driver takes the character from the settings when the program asks for EV_RXFLAG.
// Every reply ends in EOT. A driver that refuses either request is no failure: the
// settings stay as they were, and replies come as soon as the driver passes them on.
// False only when the settings could not be put back after a refusal.
bool askForReplyEnds(HANDLE handle, DCB settings)
{
    DCB withEventCharacter = settings;
    withEventCharacter.EvtChar = Frame::EOT;
    if (!SetCommState(handle, &withEventCharacter))
        return SetCommState(handle, &settings);
    (void)SetCommMask(handle, EV_RXFLAG);   // refused: the character stays unused, nothing else changes
    return true;
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
    if (!SetCommState(handle, &dcb) || !askForReplyEnds(handle, dcb))
        return false;

    // The read time-outs are the reader thread's (Win32CommReader).
    COMMTIMEOUTS timeouts;
    ZeroMemory(&timeouts, sizeof timeouts);
    timeouts.WriteTotalTimeoutMultiplier = kWriteTimeoutPerByteMs;
    timeouts.WriteTotalTimeoutConstant = kWriteTimeoutMs;
    if (!SetCommTimeouts(handle, &timeouts))
        return false;

    return SetupComm(handle, kInputQueueBytes, kOutputQueueBytes)
        && PurgeComm(handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
}

} // namespace

// One overlapped write: the driver uses the bytes and the OVERLAPPED block until it is
// done, so both live here until then. It has no event of its own: the port only asks
// whether a write is done, and under Wine making and closing an event for each of
// the three writes of every line cost more than the writes.
struct Win32CommPort::Transfer {
    explicit Transfer(const QByteArray &data) : bytes(data) { ZeroMemory(&overlapped, sizeof overlapped); }

    QByteArray bytes;
    OVERLAPPED overlapped;
};

Win32CommPort::Win32CommPort(Win32CommReader::Way readerStartsWith)
    : m_readerStartsWith(readerStartsWith), m_arrivalWindow([this] { announceArrival(); })
{
}

Win32CommPort::~Win32CommPort()
{
    closeHandle();
}

QString Win32CommPort::deviceFor(qint16 number)
{
    return QStringLiteral("\\\\.\\COM%1").arg(number);
}

bool Win32CommPort::portOpen() const
{
    return m_handle != nullptr;
}

// Waits, for at most kCloseDrainLimitMs in all, until the driver has sent every write
// still queued, oldest first. What is still left when the limit passes is dropped.
void Win32CommPort::sendQueued()
{
    waitForWrites(GetTickCount64() + kCloseDrainLimitMs);
}

// A write has no event to wait on: looks every kDrainLookMs until the driver is done with
// every queued write, or GetTickCount64() reaches `untilTickMs`.
void Win32CommPort::waitForWrites(unsigned long long untilTickMs) const
{
    for (const auto &write : m_writes) {
        while (!HasOverlappedIoCompleted(&write->overlapped)) {
            if (GetTickCount64() >= untilTickMs)
                return;
            Sleep(kDrainLookMs);
        }
    }
}

void Win32CommPort::closeHandle()
{
    if (m_handle) {
        // Unread bytes, and what close() could not send in its time, are dropped; the
        // driver must be done with every buffer before it is freed. The reader cancels its
        // own read; CancelIo cancels this thread's writes.
        m_reader.reset();
        CancelIo(m_handle);
        waitForWrites(kNoDeadline);
        CloseHandle(m_handle);   // nothing to do if it fails: the handle is gone either way
        m_handle = nullptr;
    }
    m_writes.clear();
}

void Win32CommPort::close()
{
    if (m_handle)
        sendQueued();
    closeHandle();
    m_state.forgetFailure();
}

void Win32CommPort::setCommPort(qint16 number)
{
    m_state.select(number, m_handle != nullptr);
}

void Win32CommPort::open()
{
    m_state.startOpening(m_handle != nullptr);

    const std::wstring device = deviceFor(m_state.number()).toStdWString();
    HANDLE handle = CreateFileW(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0 /* exclusive */, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        m_state.cannotOpen(openFailureNumber(error), systemMessage(error));
    }
    if (!configure(handle)) {
        const DWORD error = GetLastError();
        CloseHandle(handle);
        m_state.cannotConfigure(systemMessage(error));
    }
    auto reader = std::make_unique<Win32CommReader>(handle, [this] { return m_arrivalWindow.post(); },
                                                    m_readerStartsWith);
    DWORD error = m_arrivalWindow.create();
    if (error == 0)
        error = reader->start();
    if (error != 0) {
        reader.reset();
        CloseHandle(handle);
        m_state.cannotOpen(CommError::OpenFailed, systemMessage(error));
    }
    m_handle = handle;
    m_reader = std::move(reader);
}

bool Win32CommPort::notifyArrivals(std::function<void()> handler)
{
    m_arrival = std::move(handler);
    return true;
}

// Word from a reader of this port, maybe one since closed: the current one says whether
// anything waits for input(). The handler's answer to the word (a sequence's tick "at
// once" is a queued call) runs before this dispatch returns, as it would had Qt's own
// dispatch of posted events brought the word; waiting for Qt's next pass over the
// message queue would cost that pass, several calls into the server under Wine.
void Win32CommPort::announceArrival()
{
    if (m_reader && m_reader->wordReceived() && m_arrival) {
        m_arrival();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }
}

void Win32CommPort::output(const QByteArray &bytes)
{
    if (!m_handle)
        m_state.throwClosed(Operation::Writing);
    collectFinishedWrites(Operation::Writing);
    if (bytes.isEmpty())
        return;

    auto write = std::make_unique<Transfer>(bytes);
    if (!WriteFile(m_handle, write->bytes.constData(), DWORD(write->bytes.size()), nullptr, &write->overlapped)
        && GetLastError() != ERROR_IO_PENDING)
        failAndClose(Operation::Writing, Operation::Writing, systemMessage(GetLastError()));
    m_writes.push_back(std::move(write));   // finished or not: collected on a later call
}

// Drops the writes the driver has finished, oldest first; a write that failed or sent
// less than it was given closes the port.
void Win32CommPort::collectFinishedWrites(Operation reporting)
{
    while (!m_writes.empty()) {
        Transfer &write = *m_writes.front();
        DWORD written = 0;
        if (!GetOverlappedResult(m_handle, &write.overlapped, &written, FALSE)) {
            const DWORD error = GetLastError();
            if (error == ERROR_IO_INCOMPLETE)
                return;   // still being sent; the later ones wait behind it
            failAndClose(reporting, Operation::Writing, systemMessage(error));
        }
        if (written != DWORD(write.bytes.size()))
            failAndClose(reporting, Operation::Writing,
                         QStringLiteral("wrote %1 of %2 bytes: %3")
                             .arg(written)
                             .arg(write.bytes.size())
                             .arg(systemMessage(ERROR_TIMEOUT)));
        m_writes.pop_front();
    }
}

QByteArray Win32CommPort::input()
{
    if (!m_handle)
        m_state.throwClosed(Operation::Reading);
    collectFinishedWrites(Operation::Reading);

    // The driver's word on the device: one that has vanished fails here.
    DWORD lineErrors = 0;
    COMSTAT status;
    ZeroMemory(&status, sizeof status);
    if (!ClearCommError(m_handle, &lineErrors, &status))
        failAndClose(Operation::Reading, Operation::Reading, systemMessage(GetLastError()));

    // What came before a failure of the reading is handed out first.
    Win32CommReader::Taken taken = m_reader->take();
    if (taken.bytes.isEmpty() && taken.failure != 0)
        failAndClose(Operation::Reading, Operation::Reading, systemMessage(taken.failure));
    return taken.bytes;
}

void Win32CommPort::failAndClose(Operation reporting, Operation failedIn, const QString &cause)
{
    closeHandle();
    m_state.fail(reporting, failedIn, cause);
}
