#include "link/Win32CommReader.h"

#include <windows.h>

#include <utility>

namespace {

// After a read that waited and brought nothing: a driver that does not wait as asked is
// then read every millisecond rather than spun on. A waiting one gets here once per
// kReadWaitMs.
constexpr DWORD kEmptyReadPauseMs = 1;

} // namespace

Win32CommReader::Win32CommReader(void *handle, std::function<bool()> arrived, Way startWith)
    : m_handle(handle), m_arrived(std::move(arrived)), m_startWith(startWith)
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
    const DWORD error = m_startWith == Way::WhateverHasCome ? setReadTimeouts(MAXDWORD, 0, 0)
                                                            : setFirstByteTimeouts();
    if (error != 0)
        return error;
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

unsigned long Win32CommReader::setReadTimeouts(unsigned long interval, unsigned long multiplier, unsigned long constant)
{
    COMMTIMEOUTS timeouts;   // the write time-outs stay as the port set them
    if (!GetCommTimeouts(m_handle, &timeouts))
        return GetLastError();
    timeouts.ReadIntervalTimeout = interval;
    timeouts.ReadTotalTimeoutMultiplier = multiplier;
    timeouts.ReadTotalTimeoutConstant = constant;
    return SetCommTimeouts(m_handle, &timeouts) ? 0 : GetLastError();
}

unsigned long Win32CommReader::setFirstByteTimeouts()
{
    return setReadTimeouts(MAXDWORD, MAXDWORD, kReadWaitMs);
}

void Win32CommReader::run()
{
    if (m_startWith == Way::FirstByte || readWhateverHasCome())
        readFromFirstBytes();
}

bool Win32CommReader::ended(const Outcome &outcome, const QByteArray &bytes)
{
    if (outcome.error == 0 && !outcome.stopped)
        return false;
    if (!bytes.isEmpty() || outcome.error != 0)
        keep(bytes, outcome.error);
    return true;
}

// False when the stop came meanwhile, or the wait failed (kept as the failure).
bool Win32CommReader::pausedAfterEmptyRead()
{
    const DWORD paused = WaitForSingleObject(m_stop, kEmptyReadPauseMs);
    if (paused == WAIT_TIMEOUT)
        return true;
    if (paused != WAIT_OBJECT_0)
        keep(QByteArray(), GetLastError());
    return false;
}

bool Win32CommReader::readWhateverHasCome()
{
    for (;;) {
        QByteArray bytes(qsizetype(kReadChunkBytes), Qt::Uninitialized);
        const Outcome outcome = read(bytes.data(), kReadChunkBytes);
        bytes.truncate(qsizetype(outcome.got));
        if (ended(outcome, bytes))
            return false;
        if (!bytes.isEmpty()) {
            keep(bytes, 0);
        } else if (!outcome.waited) {
            // Ended at once with nothing: this driver does not wait in this way.
            if (const DWORD error = setFirstByteTimeouts()) {
                keep(QByteArray(), error);
                return false;
            }
            return true;
        } else if (!pausedAfterEmptyRead()) {
            return false;
        }
    }
}

void Win32CommReader::readFromFirstBytes()
{
    for (;;) {
        char first = 0;
        const Outcome waited = read(&first, 1);
        QByteArray bytes = waited.got > 0 ? QByteArray(1, first) : QByteArray();
        if (ended(waited, bytes))
            return;
        if (bytes.isEmpty()) {
            if (!pausedAfterEmptyRead())
                return;
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
    outcome.waited = true;

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
