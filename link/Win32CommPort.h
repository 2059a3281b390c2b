#pragma once

#include "link/CommPort.h"
#include "link/CommPortState.h"
#include "link/Win32CommReader.h"
#include "link/Win32WordWindow.h"

#include <QString>

#include <deque>
#include <memory>

// The serial port control on the Win32 communications API, for Windows: 9600 8N1, no
// flow control. A reader thread of its own (Win32CommReader) waits in the driver for
// arriving bytes and keeps them; the port gives word of them on the thread that uses it,
// where input() hands them out. Output hands the bytes to the driver with an overlapped
// WriteFile and returns at once; the driver sends queued writes in order, and a write
// that failed is reported by the next call. Nothing relies on serial events, which some
// drivers (Wine's for pseudo-terminals among them) never raise.
// Opening asks the driver to pass each reply on as soon as its EOT arrives (the event
// character, which FTDI adapters act on); a driver that refuses is no failure.
// Every failure throws RuntimeError with the numbers and words the other backend uses
// (CommPortState); a read or write that fails closes the port, and later calls report why.
class Win32CommPort : public CommPort {
public:
    // How the reader waits at first: the way the driver keeps to, unless a test says otherwise.
    explicit Win32CommPort(Win32CommReader::Way readerStartsWith = Win32CommReader::Way::WhateverHasCome);
    ~Win32CommPort() override;
    Win32CommPort(const Win32CommPort &) = delete;
    Win32CommPort &operator=(const Win32CommPort &) = delete;

    bool portOpen() const override;
    void close() override;
    void setCommPort(qint16 number) override;
    void open() override;
    void output(const QByteArray &bytes) override;
    QByteArray input() override;
    bool notifyArrivals(std::function<void()> handler) override;

    // The device behind port `number`: \\.\COMn, the form that reaches COM10 and above.
    static QString deviceFor(qint16 number);

private:
    struct Transfer;

    using Operation = CommPortState::Operation;

    void collectFinishedWrites(Operation reporting);
    [[noreturn]] void failAndClose(Operation reporting, Operation failedIn, const QString &cause);
    void sendQueued();
    void closeHandle();
    void waitForWrites(unsigned long long untilTickMs) const;
    void announceArrival();   // on this port's thread, on the reader's word

    void *m_handle = nullptr;   // the Win32 HANDLE; null while closed
    CommPortState m_state;
    std::deque<std::unique_ptr<Transfer>> m_writes;   // handed to the driver, not yet done
    std::unique_ptr<Win32CommReader> m_reader;   // while open
    std::function<void()> m_arrival;
    Win32CommReader::Way m_readerStartsWith;
    Win32WordWindow m_arrivalWindow;   // on the thread that opened the port: the reader's word goes there
};
