// Finding out why a serial device would not open, on Linux and other POSIX systems: the
// device node, its group, lock files and the processes that have it open (through
// /proc, where the system has it).
#include "link/OpenFailureCause.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Where QSerialPort (and the usual terminal programs) put their lock files, in the order
// QSerialPort looks.
const char *const kLockDirectories[] = {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                                        "/tmp", "/var/tmp", "/var/lock/lockdev", "/run/lock"};

QString commandNameOf(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromLocal8Bit(comm.readAll()).trimmed();
}

// "/dev/ttyUSB0" -> "LCK..ttyUSB0"; "/tmp/ptz2" -> "LCK.._tmp_ptz2", as QSerialPort names them.
QString lockFileNameFor(const QString &device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

// A lock file holds the holder's PID as text on its first line (QLockFile, uucp style)
// or, in old programs, as a binary int.
void readLockFile(const QString &device, OpenFailureFacts &facts)
{
    for (const char *directory : kLockDirectories) {
        const QString path = QDir(QString::fromLatin1(directory)).filePath(lockFileNameFor(device));
        QFile lock(path);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        facts.lockFile = path;
        const QByteArray content = lock.read(256);
        bool isNumber = false;
        const qint64 pid = content.split('\n').value(0).trimmed().toLongLong(&isNumber);
        if (isNumber && pid > 0) {
            facts.lockHolder = {pid, commandNameOf(pid)};
        } else if (content.size() == sizeof(int)) {
            int binaryPid = 0;
            memcpy(&binaryPid, content.constData(), sizeof binaryPid);
            if (binaryPid > 0)
                facts.lockHolder = {binaryPid, commandNameOf(binaryPid)};
        }
        return;
    }
}

// Processes with the device open, found through /proc; only our own unless we are root.
QList<DeviceHolder> processesHolding(const QString &device)
{
    QList<DeviceHolder> holders;
    const QString target = QFileInfo(device).canonicalFilePath();
    if (target.isEmpty())
        return holders;
    const qint64 self = QCoreApplication::applicationPid();
    const QStringList pids = QDir(QStringLiteral("/proc")).entryList({QStringLiteral("[0-9]*")}, QDir::Dirs);
    for (const QString &pidText : pids) {
        const qint64 pid = pidText.toLongLong();
        if (pid == self)   // our own hold on the device is not the user's problem
            continue;
        const QDir fds(QStringLiteral("/proc/%1/fd").arg(pid));
        const QStringList entries = fds.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        for (const QString &fd : entries) {
            if (QFileInfo(fds.filePath(fd)).symLinkTarget() == target) {
                holders.append({pid, commandNameOf(pid)});
                break;
            }
        }
    }
    return holders;
}

bool sessionCarries(gid_t group)
{
    if (getegid() == group)
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[std::size_t(i)] == group)
            return true;
    return false;
}

bool userListedIn(const group &entry)
{
    const passwd *user = getpwuid(getuid());
    if (!user)
        return false;
    if (user->pw_gid == entry.gr_gid)
        return true;
    for (char **member = entry.gr_mem; member && *member; ++member)
        if (strcmp(*member, user->pw_name) == 0)
            return true;
    return false;
}

void readPermission(const QByteArray &path, const struct stat &node, OpenFailureFacts &facts)
{
    if (access(path.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return;
    facts.mayReadWrite = false;
    const group *owner = getgrgid(node.st_gid);
    if (!owner)
        return;
    facts.group = QString::fromLocal8Bit(owner->gr_name);
    facts.listedInGroup = userListedIn(*owner);
    facts.sessionHasGroup = sessionCarries(node.st_gid);
}

} // namespace

OpenFailureFacts gatherOpenFailureFacts(const QString &device, const QString &systemReason)
{
    OpenFailureFacts facts;
    facts.device = device;
    facts.systemReason = systemReason;
    const QByteArray path = QFile::encodeName(device);
    struct stat node {};
    if (stat(path.constData(), &node) != 0) {
        facts.exists = !(errno == ENOENT || errno == ENOTDIR);
        return facts;
    }
    readPermission(path, node, facts);
    if (!facts.mayReadWrite)
        return facts;
    readLockFile(device, facts);
    if (facts.lockHolder.pid == 0)
        facts.openedBy = processesHolding(device);
    return facts;
}
