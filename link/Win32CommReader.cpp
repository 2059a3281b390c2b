#include "link/Win32CommReader.h"

#include <windows.h>

#include <utility>

namespace {

// After a read that brought nothing: a driver that does not wait as asked is then read
// every millisecond rather than spun on. A waiting one gets here once per kReadWaitMs.
constexpr DWORD kEmptyReadPauseMs = 1;

} // namespace

Win32CommReader::Win32CommReader(void *handle, std::function<bool()> arrived)
    : m_handle(handle), m_arrived(std::move(arrived))
{
}

Win32CommReader::~Win32CommReader()
{
    stop();
    for (HANDLE event : {m_stop, m_readDone})
        if (event)
            CloseHandle(event);   // nothing to do if it fails: the event is gone either way
}

unsigned long Win32CommReader::start()
{
    m_stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_stop)
        return GetLastError();
    m_readDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!m_readDone)
        return GetLastError();
    m_thread = CreateThread(nullptr, 0, &Win32CommReader::threadMain, this, 0, nullptr);
    if (!m_thread)
        return GetLastError();
    return 0;
}

DWORD WINAPI Win32CommReader::threadMain(void *reader)
{
    static_cast<Win32CommReader *>(reader)->run();
    return 0;
}

void Win32CommReader::stop()
{
    if (!m_thread)
        return;
    // Should the event fail, cancelling the read from here ends the thread as well: it
    // takes the cancelled read for a failure and stops.
    m_stopping = true;
    if (!SetEvent(m_stop))
        CancelIoEx(m_handle, nullptr);
    // INFINITE: the thread's every wait ends on the stop event or the cancelled read. The
    // wait on a handle of our own cannot fail.
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    m_thread = nullptr;
}

Win32CommReader::Taken Win32CommReader::take()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Taken taken;
    taken.bytes = std::exchange(m_bytes, QByteArray());
    taken.failure = m_failure;
    return taken;
}

bool Win32CommReader::wordReceived()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wordGiven = false;
    return !m_bytes.isEmpty() || m_failure != 0;
}

void Win32CommReader::keep(const QByteArray &bytes, unsigned long failure)
{
    bool giveWord = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bytes += bytes;
        if (failure != 0)
            m_failure = failure;
        giveWord = !m_wordGiven;
        m_wordGiven = true;
    }
    if (giveWord && !m_arrived()) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_wordGiven = false;
    }
}

void Win32CommReader::run()
{
    for (;;) {
        char first = 0;
        const Outcome waited = read(&first, 1);
        QByteArray bytes = waited.got > 0 ? QByteArray(1, first) : QByteArray();
        if (waited.error != 0 || waited.stopped) {
            if (!bytes.isEmpty() || waited.error != 0)
                keep(bytes, waited.error);
            return;
        }
        if (bytes.isEmpty()) {
            const DWORD paused = WaitForSingleObject(m_stop, kEmptyReadPauseMs);
            if (paused == WAIT_OBJECT_0)
                return;
            if (paused != WAIT_TIMEOUT) {
                keep(QByteArray(), GetLastError());
                return;
            }
            continue;
        }

        // The rest of what has come: a read of no more than the driver holds never waits.
        DWORD lineErrors = 0;
        COMSTAT status;
        ZeroMemory(&status, sizeof status);
        if (!ClearCommError(m_handle, &lineErrors, &status)) {
            keep(bytes, GetLastError());
            return;
        }
        Outcome rest;
        if (status.cbInQue > 0) {
            bytes.resize(1 + qsizetype(status.cbInQue));
            rest = read(bytes.data() + 1, status.cbInQue);
            bytes.truncate(1 + qsizetype(rest.got));
        }
        keep(bytes, rest.error);
        if (rest.error != 0 || rest.stopped)
            return;
    }
}

// One overlapped read, to its end: the driver is done with `into` when this returns.
Win32CommReader::Outcome Win32CommReader::read(char *into, unsigned long count)
{
    Outcome outcome;
    OVERLAPPED overlapped;
    ZeroMemory(&overlapped, sizeof overlapped);
    overlapped.hEvent = m_readDone;   // ReadFile resets it as the read begins
    if (ReadFile(m_handle, into, count, nullptr, &overlapped)) {
        // Done at once, as the read of what the driver already holds mostly is: no wait,
        // which under Wine is a call into its server on the way of every reply.
        DWORD got = 0;
        if (!GetOverlappedResult(m_handle, &overlapped, &got, FALSE))
            outcome.error = GetLastError();
        outcome.got = got;
        outcome.stopped = m_stopping;   // bytes that keep coming never hold a stop off
        return outcome;
    }
    if (GetLastError() != ERROR_IO_PENDING) {
        outcome.error = GetLastError();
        return outcome;
    }

    const HANDLE events[] = {m_readDone, m_stop};
    const DWORD woke = WaitForMultipleObjects(2, events, FALSE, INFINITE);
    if (woke != WAIT_OBJECT_0) {
        if (woke == WAIT_OBJECT_0 + 1)
            outcome.stopped = true;
        else
            outcome.error = GetLastError();
        // Fails only when the read has just ended by itself; the wait below is short either way.
        CancelIoEx(m_handle, &overlapped);
    }
    DWORD got = 0;
    if (!GetOverlappedResult(m_handle, &overlapped, &got, TRUE)) {
        const DWORD error = GetLastError();
        if (!(outcome.stopped && error == ERROR_OPERATION_ABORTED) && outcome.error == 0)
            outcome.error = error;
    }
    outcome.got = got;
    outcome.stopped = outcome.stopped || m_stopping;   // a read that ended as the stop came
    return outcome;
}
