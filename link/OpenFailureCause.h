#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

// A process that has a serial device, as far as the system lets us see it.
struct DeviceHolder {
    qint64 pid = 0;
    QString name;   // its command name; empty when unknown
};

// What can be found out about a device that would not open, to tell the user why.
struct OpenFailureFacts {
    QString device;
    QString systemReason;           // the system's own words for the failure
    bool exists = true;             // the device node is there
    bool mayReadWrite = true;       // this user may open it for reading and writing
    QString group;                  // the group that owns the device; empty when unknown
    bool listedInGroup = false;     // the user belongs to `group` in the group database
    bool sessionHasGroup = false;   // this login session already carries `group`
    QString lockFile;               // a lock file naming the holder; empty when none
    DeviceHolder lockHolder;        // from the lock file
    QList<DeviceHolder> openedBy;   // processes found holding the device open
};

// Looks at the device after a failed open (POSIX: the node, its group, lock files and
// the processes that have it open; elsewhere only the system's reason).
OpenFailureFacts gatherOpenFailureFacts(const QString &device, const QString &systemReason);

// The cause in the user's terms, with what to do about it, e.g.
// "permission denied: /dev/ttyUSB0 belongs to the group dialout, and you are not in it (...)".
QString describeOpenFailure(const OpenFailureFacts &facts);
