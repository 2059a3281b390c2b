#pragma once

#include "link/ComPortMapping.h"

// The COM numbers as this machine has them now. Worked out afresh on every call, so a
// USB adapter plugged in a moment ago is found.

// The serial ports the system reports, phantom UARTs marked (Linux: a ttyS whose
// sysfs "type" is 0 has no UART behind it).
QList<SerialPortDescription> serialPortsPresent();

// REVERTEX_COM<number> (not on Windows, where COM n is always "COMn").
ComPortOverride comPortOverride(qint16 number);

// COM `number` and COM 1 to `count`, by this platform's naming.
ComPortAssignment currentComPort(qint16 number);
QList<ComPortAssignment> currentComPorts(qint16 count);
