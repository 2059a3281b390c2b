#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>
#include <mutex>

// Reads an open COM port on a thread of its own, so that the port hears of arriving
// bytes as they come instead of polling for them. A read of one byte waits in the
// driver for the first byte; then a read of exactly as many bytes as the driver holds
// takes the rest at once. Both work alike on Windows and under Wine, which raises no
// serial events for a pseudo-terminal and ends a read only once its buffer is full
// (whatever the time-outs say).
//
// The handle's read time-outs must be those the waiting read needs: ReadIntervalTimeout
// and ReadTotalTimeoutMultiplier MAXDWORD, ReadTotalTimeoutConstant kReadWaitMs.
//
// The bytes wait here until take(). `arrived` is called on the reader's thread when
// bytes (or the failure that ended the reading) start to wait; it is called once until
// the port's thread answers with wordReceived(), however many bytes come meanwhile. It
// returns false when it could not give word; the next bytes then try again.
// The reader is the handle's only reader; writes on other threads go alongside.
class Win32CommReader {
public:
    // A waiting read that sees no byte for this long ends empty and is made again (on
    // Windows: Wine's never ends). Only stop() needs to end one sooner.
    static constexpr unsigned long kReadWaitMs = 10000;

    Win32CommReader(void *handle, std::function<bool()> arrived);
    ~Win32CommReader();   // stops
    Win32CommReader(const Win32CommReader &) = delete;
    Win32CommReader &operator=(const Win32CommReader &) = delete;

    // Starts the thread: 0, or the system error that kept it from starting.
    unsigned long start();
    // Cancels the pending read and waits for the thread's end: at once. What the read
    // brought before it was cancelled stays for take().
    void stop();

    struct Taken {
        QByteArray bytes;
        unsigned long failure = 0;   // the system error that ended the reading; 0: none
    };
    // Everything read since the last take, in order.
    Taken take();

    // The port's thread acts on word given; the next bytes give word again. True when
    // bytes or a failure wait for take().
    bool wordReceived();

private:
    static unsigned long __stdcall threadMain(void *reader);

    struct Outcome {
        unsigned long got = 0;
        unsigned long error = 0;
        bool stopped = false;
    };

    void run();
    Outcome read(char *into, unsigned long count);
    void keep(const QByteArray &bytes, unsigned long failure);

    void *m_handle;
    std::function<bool()> m_arrived;
    void *m_stop = nullptr;         // event: stop() was called
    std::atomic<bool> m_stopping{false};   // the same, for reads that end without a wait
    void *m_readDone = nullptr;     // event of the pending read
    void *m_thread = nullptr;       // the reader's thread while it runs

    std::mutex m_mutex;             // guards what follows
    QByteArray m_bytes;
    unsigned long m_failure = 0;
    bool m_wordGiven = false;
};
