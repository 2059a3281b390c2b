#pragma once

#include <QString>
#include <QtGlobal>

#include <optional>

// What both serial port backends keep besides the device itself, and the words of every
// failure they report, so a failure reads the same on every platform:
//   "Port already open: COM3", "Invalid port number 0", "Cannot open COM3: <cause>",
//   "Cannot configure COM3 for 9600 8N1: <reason>", "Error writing COM3: <cause>",
//   "Error reading COM3: <cause>", "The device is not open: COM3".
// Every failure throws RuntimeError with its CommError number.
class CommPortState {
public:
    enum class Operation { Reading, Writing };

    qint16 number() const { return m_number; }

    // "COMn", or "COMn (device)" where the port's device has a name of its own.
    QString name() const;

    // setCommPort: refused while the port is open or for a number below 1. Forgets the device.
    void select(qint16 number, bool portOpen);
    // open: refused while the port is open; forgets an earlier failure.
    void startOpening(bool portOpen);
    void setDevice(const QString &device) { m_device = device; }
    // A port opened by its device path (named so on a command line) is called by that
    // path alone: its COM number means nothing.
    void nameByDevice(bool byDevice) { m_nameByDevice = byDevice; }

    [[noreturn]] void cannotOpen(int failureNumber, const QString &cause) const;
    [[noreturn]] void cannotConfigure(const QString &reason) const;

    // A read or write failed and the port closes: remembers why, for later calls, and
    // throws with the number of the operation that reports it.
    [[noreturn]] void fail(Operation reporting, Operation failedIn, const QString &cause);
    [[noreturn]] void fail(Operation failedIn, const QString &cause) { fail(failedIn, failedIn, cause); }
    // The same without throwing, for a failure seen between calls; with no operation,
    // the call that reports it names its own.
    void note(std::optional<Operation> failedIn, const QString &cause);

    // A read or write on a closed port: why it closed under us, if it did.
    [[noreturn]] void throwClosed(Operation reporting) const;

    // close: the port was closed on purpose; nothing is left to report.
    void forgetFailure() { m_failure.reset(); }

private:
    struct Failure {
        std::optional<Operation> failedIn;
        QString cause;
    };
    QString describe(Operation failedIn, const QString &cause) const;

    qint16 m_number = 1;
    QString m_device;                 // what the last open found behind m_number; empty: none
    std::optional<Failure> m_failure; // why the port closed under us
    bool m_nameByDevice = false;
};
