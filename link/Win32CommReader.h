#pragma once

#include <QByteArray>

#include <atomic>
#include <functional>
#include <mutex>

// Reads an open COM port on a thread of its own, so that the port hears of arriving
// bytes as they come instead of polling for them. Two ways of waiting for bytes exist,
// and what the driver does chooses between them:
// - Whatever has come: ReadIntervalTimeout MAXDWORD, both totals 0, a read of up to
//   kReadChunkBytes. Windows ends such a read at once, empty or not; Wine's driver holds
//   it until bytes arrive and then ends it with all that has come: one read a reply.
// - The first byte: ReadIntervalTimeout and ReadTotalTimeoutMultiplier MAXDWORD,
//   ReadTotalTimeoutConstant kReadWaitMs. A read of one byte waits in the driver for the
//   first byte; then a read of exactly as many bytes as the driver holds takes the rest
//   at once. This works on Windows and under Wine alike (Wine, which raises no serial
//   events for a pseudo-terminal, ends a longer read only once its buffer is full).
// The reader sets the read time-outs itself and starts with the first way (unless told
// otherwise); a read that ends at once with nothing shows a driver that does not wait in
// it, and the reader takes the second way from then on.
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
    // The most a read of whatever has come takes; more waits for the next read, at once.
    static constexpr unsigned long kReadChunkBytes = 1024;

    enum class Way { WhateverHasCome, FirstByte };

    Win32CommReader(void *handle, std::function<bool()> arrived, Way startWith = Way::WhateverHasCome);
    ~Win32CommReader();   // stops
    Win32CommReader(const Win32CommReader &) = delete;
    Win32CommReader &operator=(const Win32CommReader &) = delete;

    // Sets the read time-outs and starts the thread: 0, or the system error that kept it
    // from starting.
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
        bool waited = false;   // the driver did not end the read at once
    };

    void run();
    // One way's reads until a stop or a failure: true when the reader should take the
    // first-byte way instead.
    bool readWhateverHasCome();
    void readFromFirstBytes();
    bool ended(const Outcome &outcome, const QByteArray &bytes);   // keeps what a stop or failure left
    bool pausedAfterEmptyRead();
    unsigned long setReadTimeouts(unsigned long interval, unsigned long multiplier, unsigned long constant);
    unsigned long setFirstByteTimeouts();
    Outcome read(char *into, unsigned long count);
    void keep(const QByteArray &bytes, unsigned long failure);

    void *m_handle;
    std::function<bool()> m_arrived;
    Way m_startWith;
    void *m_stop = nullptr;         // event: stop() was called
    std::atomic<bool> m_stopping{false};   // the same, for reads that end without a wait
    void *m_readDone = nullptr;     // event of the pending read
    void *m_thread = nullptr;       // the reader's thread while it runs

    std::mutex m_mutex;             // guards what follows
    QByteArray m_bytes;
    unsigned long m_failure = 0;
    bool m_wordGiven = false;
};
