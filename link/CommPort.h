#pragma once

#include <QByteArray>
#include <QtGlobal>

// The serial-communications control as the sequences see it: exactly six operations.
// The real one sits on QSerialPort (SerialPortControl) or, on Windows, on the Win32
// communications API (Win32CommPort); makeSerialPort() picks it. Tests use a fake.
// Every failing operation throws RuntimeError.
class CommPort {
public:
    virtual ~CommPort() = default;

    virtual bool portOpen() const = 0;            // is the port open
    virtual void close() = 0;                     // PortOpen = False
    virtual void setCommPort(qint16 number) = 0;  // the next open uses port `number`
    virtual void open() = 0;                      // PortOpen = True: 9600 8N1, no flow control
    virtual void output(const QByteArray &bytes) = 0;  // queue all bytes in order, return at once
    virtual QByteArray input() = 0;               // everything received since the last read
};
