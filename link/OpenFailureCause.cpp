#include "link/OpenFailureCause.h"

#include <QStringList>

namespace {

QString describeHolder(const DeviceHolder &holder)
{
    return holder.name.isEmpty() ? QStringLiteral("process %1").arg(holder.pid)
                                 : QStringLiteral("process %1 (%2)").arg(holder.pid).arg(holder.name);
}

QString describePermission(const OpenFailureFacts &facts)
{
    const QString prefix = QStringLiteral("permission denied: ");
    if (facts.group.isEmpty())
        return prefix + QStringLiteral("you may not read and write %1").arg(facts.device);
    if (!facts.listedInGroup)
        return prefix + QStringLiteral("%1 belongs to the group %2, and you are not in the %2 group "
                                       "(sudo usermod -aG %2 $USER, then log out and back in)")
                            .arg(facts.device, facts.group);
    if (!facts.sessionHasGroup)
        return prefix + QStringLiteral("%1 belongs to the group %2; you were added to %2 after this login "
                                       "session began (log out and back in)")
                            .arg(facts.device, facts.group);
    return prefix + QStringLiteral("you may not read and write %1, although you are in its group %2 (check its mode: ls -l %1)")
                        .arg(facts.device, facts.group);
}

} // namespace

QString describeOpenFailure(const OpenFailureFacts &facts)
{
    if (!facts.exists)
        return QStringLiteral("no such device: %1 does not exist (is the adapter plugged in?)").arg(facts.device);
    if (!facts.mayReadWrite)
        return describePermission(facts);
    if (facts.lockHolder.pid > 0)
        return QStringLiteral("held by %1, which locked %2 (lock file %3)")
            .arg(describeHolder(facts.lockHolder), facts.device, facts.lockFile);
    if (!facts.openedBy.isEmpty()) {
        QStringList holders;
        for (const DeviceHolder &holder : facts.openedBy)
            holders << describeHolder(holder);
        return QStringLiteral("held by %1, which has %2 open").arg(holders.join(QStringLiteral(", ")), facts.device);
    }
    if (!facts.lockFile.isEmpty())
        return QStringLiteral("locked by another program (lock file %1)").arg(facts.lockFile);
    return facts.systemReason.isEmpty() ? QStringLiteral("the system gives no reason")
                                        : QStringLiteral("the system says: %1").arg(facts.systemReason);
}
