#include "link/ComPortsPresent.h"

ComPortAssignment currentComPort(qint16 number)
{
    return assignComPort(number, serialPortsPresent(), comPortOverride(number), comPortNaming());
}

QList<ComPortAssignment> currentComPorts(qint16 count)
{
    const QList<SerialPortDescription> present = serialPortsPresent();
    QList<ComPortAssignment> assignments;
    for (qint16 number = 1; number <= count; ++number)
        assignments.append(assignComPort(number, present, comPortOverride(number), comPortNaming()));
    return assignments;
}
