#pragma once

#include <QByteArray>
#include <QtGlobal>

#include <functional>

// The serial-communications control as the sequences see it: exactly six operations,
// and optionally word of arriving bytes. The real one sits on QSerialPort
// (SerialPortControl) or, on Windows, on the Win32 communications API (Win32CommPort);
// makeSerialPort() picks it. Tests use a fake. Every failing operation throws RuntimeError.
// A queue that never holds more than the 512-byte transmit buffer of the port
// configuration takes about 530 ms at 9600 baud; a device slower than this has failed.
constexpr int kCloseDrainLimitMs = 1000;

class CommPort {
public:
    virtual ~CommPort() = default;

    virtual bool portOpen() const = 0;            // is the port open
    // PortOpen = False. Sends what is still queued first, so the last frame of a run
    // reaches the camera, for at most kCloseDrainLimitMs; what is left then is dropped.
    virtual void close() = 0;
    virtual void setCommPort(qint16 number) = 0;  // the next open uses port `number`
    virtual void open() = 0;                      // PortOpen = True: 9600 8N1, no flow control
    virtual void output(const QByteArray &bytes) = 0;  // queue all bytes in order, return at once
    virtual QByteArray input() = 0;               // everything received since the last read

    // A port that can tell when bytes arrive keeps `handler`, calls it on the thread that
    // uses the port whenever new bytes wait for input(), and returns true; the window then
    // lets a waiting sequence tick on arrival instead of every millisecond. A polled port
    // keeps this default: it never calls, and the sequences keep their 1 ms ticks.
    // An empty handler stops the calls.
    virtual bool notifyArrivals(std::function<void()> handler)
    {
        (void)handler;
        return false;
    }
};
