#pragma once

#include <QString>
#include <QtGlobal>

// A port as named on the command line: a COM number 1 to 16 (also as "COMn"), mapped
// to a device as the window maps it, or a device path such as /dev/ttyUSB0.
struct NamedPort {
    qint16 comNumber = 0;   // 0: a device path
    QString device;         // the device path; empty for a COM number

    // How the port is named in messages, the summary and the log: "COM3", "/dev/ttyUSB0".
    QString label() const;
};

// Reads one PORT argument; false with `error` set when it names no port.
bool parseNamedPort(const QString &given, NamedPort *named, QString *error);
