#pragma once

#include <QString>
#include <stdexcept>

// A run-time failure as the program reports it: a number and a description.
// Thrown by the serial port layer and the firmware loader; the handler boundary
// of each timer or button decides whether it is trapped or ends the program.
class RuntimeError : public std::runtime_error {
public:
    RuntimeError(int number, const QString &description)
        : std::runtime_error(description.toStdString()), m_number(number), m_description(description) {}

    int number() const { return m_number; }
    QString description() const { return m_description; }

private:
    int m_number;
    QString m_description;
};

// The numbers the serial port layer uses (the communications control's own numbering).
namespace CommError {
constexpr int InvalidPort = 8002;       // no such port on this machine
constexpr int PortAlreadyOpen = 8005;   // another program holds the port
constexpr int PortNotOpen = 8012;       // read or write on a closed port
constexpr int OpenFailed = 8015;        // the port exists but could not be configured
constexpr int ReadFailed = 8020;        // the device failed or vanished while reading
constexpr int WriteFailed = 8021;       // the device failed or vanished while writing
} // namespace CommError
