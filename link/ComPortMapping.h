#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// One serial port the machine reports, as far as it is known.
struct SerialPortDescription {
    QString device;         // "/dev/ttyUSB0", "COM3"
    QString description;    // "FT232R USB UART"; may be empty
    QString manufacturer;   // "FTDI"; may be empty
    QString serialNumber;   // may be empty
    bool hasHardware = true;  // false: a ttyS entry with no UART behind it
};

// A device named for one COM number by the user (REVERTEX_COM<n>).
struct ComPortOverride {
    QString device;     // as the user gave it; empty: no override
    QString resolved;   // the device it leads to after symbolic links, to find its description
};

// How COM numbers become devices.
enum class ComPortNaming {
    ByName,    // Windows: COM n is "COMn", present or not
    ByOrder,   // elsewhere: COM n is the n-th port present, in the order of portsInComOrder
};

// What one COM number stands for.
struct ComPortAssignment {
    qint16 number = 0;
    QString device;                   // empty: no port
    QString overrideVariable;         // "REVERTEX_COM1" when the user named the device
    bool known = false;               // `port` describes the device
    SerialPortDescription port;
};

// The ports that count, in COM order: phantom UARTs dropped, then the motherboard UARTs
// (ttyS) by number, USB adapters (ttyUSB) by number, ACM adapters (ttyACM) by number,
// and any other port by name and number.
QList<SerialPortDescription> portsInComOrder(QList<SerialPortDescription> present);

// COM `number`: the override when it names a device, otherwise the port the naming
// gives, if there is one.
ComPortAssignment assignComPort(qint16 number, const QList<SerialPortDescription> &present,
                                const ComPortOverride &override, ComPortNaming naming);

// One line for the port list and the COM port tooltips, without the COM number:
// "/dev/ttyUSB0: FT232R USB UART, maker FTDI, serial number A1234567", or "no port".
QString describeComPort(const ComPortAssignment &assignment);

// The whole table, one line per COM number ("COM  1  /dev/ttyS0 ...").
QString comPortTableText(const QList<ComPortAssignment> &assignments);
