#pragma once

#include "link/ComPortMapping.h"

// The COM numbers as this machine has them now. Worked out afresh on every call, so a
// USB adapter plugged in a moment ago is found.
//
// The first three are this platform's own (ComPortsPresentWin32.cpp on Windows,
// ComPortsPresentPosix.cpp elsewhere); the last two put them together.

// The serial ports the system reports, phantom UARTs marked (Linux: a ttyS whose
// sysfs "type" is 0 has no UART behind it).
QList<SerialPortDescription> serialPortsPresent();

// REVERTEX_COM<number> (not on Windows, where COM n is always "COMn").
ComPortOverride comPortOverride(qint16 number);

// How this platform names its ports: by COM name on Windows, by their order elsewhere.
ComPortNaming comPortNaming();

// COM `number` and COM 1 to `count`, by this platform's naming.
ComPortAssignment currentComPort(qint16 number);
QList<ComPortAssignment> currentComPorts(qint16 count);
