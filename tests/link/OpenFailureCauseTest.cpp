#include "link/OpenFailureCause.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <ostream>

#ifndef Q_OS_WIN
#include "tests/support/PtyMaster.h"

#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}

namespace {

OpenFailureFacts factsFor(const char *device)
{
    OpenFailureFacts facts;
    facts.device = QString::fromLatin1(device);
    facts.systemReason = QStringLiteral("Permission error while locking the device");
    return facts;
}

// --- the cause in words ------------------------------------------------------------------

TEST(OpenFailureText, MissingDevice)
{
    OpenFailureFacts facts = factsFor("/dev/ttyUSB0");
    facts.exists = false;
    EXPECT_EQ(describeOpenFailure(facts),
              QStringLiteral("no such device: /dev/ttyUSB0 does not exist (is the adapter plugged in?)"));
}

TEST(OpenFailureText, PermissionNamesTheGroupAndTheFix)
{
    OpenFailureFacts facts = factsFor("/dev/ttyUSB0");
    facts.mayReadWrite = false;
    facts.group = QStringLiteral("dialout");
    EXPECT_EQ(describeOpenFailure(facts),
              QStringLiteral("permission denied: /dev/ttyUSB0 belongs to the group dialout, and you are not in the "
                             "dialout group (sudo usermod -aG dialout $USER, then log out and back in)"));

    facts.listedInGroup = true;   // added, but this session predates it
    EXPECT_EQ(describeOpenFailure(facts),
              QStringLiteral("permission denied: /dev/ttyUSB0 belongs to the group dialout; you were added to dialout "
                             "after this login session began (log out and back in)"));

    facts.sessionHasGroup = true;   // in the group and still refused: the mode is at fault
    EXPECT_TRUE(describeOpenFailure(facts).contains(QStringLiteral("ls -l /dev/ttyUSB0")));

    facts.group.clear();   // the group cannot be named
    EXPECT_EQ(describeOpenFailure(facts), QStringLiteral("permission denied: you may not read and write /dev/ttyUSB0"));
}

TEST(OpenFailureText, HolderNamedByLockFileOrOpenDevice)
{
    OpenFailureFacts facts = factsFor("/dev/ttyUSB0");
    facts.lockFile = QStringLiteral("/var/lock/LCK..ttyUSB0");
    facts.lockHolder = {4242, QStringLiteral("minicom")};
    facts.openedBy = {{77, QStringLiteral("cat")}};   // the lock file has the last word
    EXPECT_EQ(describeOpenFailure(facts),
              QStringLiteral("held by process 4242 (minicom), which locked /dev/ttyUSB0 (lock file /var/lock/LCK..ttyUSB0)"));

    facts.lockHolder = {};
    facts.lockFile.clear();
    facts.openedBy = {{77, QStringLiteral("ModemManager")}, {78, QString()}};
    EXPECT_EQ(describeOpenFailure(facts),
              QStringLiteral("held by process 77 (ModemManager), process 78, which has /dev/ttyUSB0 open"));

    facts.openedBy.clear();
    facts.lockFile = QStringLiteral("/tmp/LCK..ttyUSB0");   // a lock file without a readable PID
    EXPECT_EQ(describeOpenFailure(facts), QStringLiteral("locked by another program (lock file /tmp/LCK..ttyUSB0)"));
}

TEST(OpenFailureText, OtherwiseTheSystemsReason)
{
    OpenFailureFacts facts = factsFor("/dev/ttyS0");
    facts.systemReason = QStringLiteral("Input/output error");
    EXPECT_EQ(describeOpenFailure(facts), QStringLiteral("the system says: Input/output error"));
    facts.systemReason.clear();
    EXPECT_EQ(describeOpenFailure(facts), QStringLiteral("the system gives no reason"));
}

#ifndef Q_OS_WIN

// --- what the system tells ----------------------------------------------------------------

TEST(OpenFailureFactsOnThisSystem, MissingDeviceIsFoundMissing)
{
    const OpenFailureFacts facts = gatherOpenFailureFacts(QStringLiteral("/dev/revertex-no-such-port"), QStringLiteral("x"));
    EXPECT_FALSE(facts.exists);
    EXPECT_EQ(facts.systemReason, QStringLiteral("x"));
}

TEST(OpenFailureFactsOnThisSystem, LockFileNamesItsHolder)
{
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    // A device outside /dev gets a lock file named after its whole path; "/tmp" is one
    // of the places QSerialPort and terminal programs keep them.
    const QString device = scratch.filePath(QStringLiteral("ptz2"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), device));
    QString lockName = device;
    lockName.replace(QLatin1Char('/'), QLatin1Char('_'));
    QFile lock(QStringLiteral("/tmp/LCK..") + lockName);
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly));
    const qint64 self = QCoreApplication::applicationPid();
    ASSERT_GT(lock.write(QByteArray::number(self) + "\nminicom\nhost\n"), 0);
    lock.close();

    const OpenFailureFacts facts = gatherOpenFailureFacts(device, QString());
    lock.remove();
    EXPECT_TRUE(facts.exists);
    EXPECT_EQ(facts.lockFile, lock.fileName());
    EXPECT_EQ(facts.lockHolder.pid, self);
    EXPECT_FALSE(facts.lockHolder.name.isEmpty());   // the command name, from /proc
}

TEST(OpenFailureFactsOnThisSystem, ProcessHoldingTheDeviceOpenIsNamed)
{
    PtyMaster pty;
    if (pty.slavePath().isEmpty())
        GTEST_SKIP() << "no pseudo-terminal available";
    // The child opens the device as its input before it becomes sleep: once it has
    // started, sleep holds the device open.
    QProcess holder;
    const QByteArray slave = pty.slavePath().toLocal8Bit();
    holder.setChildProcessModifier([slave] {
        const int fd = ::open(slave.constData(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0 || ::dup2(fd, STDIN_FILENO) < 0)
            ::_exit(127);
    });
    holder.start(QStringLiteral("sleep"), {QStringLiteral("30")});
    ASSERT_TRUE(holder.waitForStarted()) << holder.errorString().toStdString();
    const qint64 pid = holder.processId();
    const OpenFailureFacts facts = gatherOpenFailureFacts(pty.slavePath(), QString());
    holder.kill();
    holder.waitForFinished();
    ASSERT_EQ(facts.openedBy.size(), 1);
    EXPECT_EQ(facts.openedBy[0].pid, pid);
    EXPECT_EQ(facts.openedBy[0].name, QStringLiteral("sleep"));
    EXPECT_TRUE(describeOpenFailure(facts).contains(QStringLiteral("(sleep), which has %1 open").arg(pty.slavePath())));
}

// Run as root (as CI runs), a child becomes "nobody" and is refused the device.
TEST(OpenFailureFactsOnThisSystem, UserOutsideTheDevicesGroupIsToldSo)
{
    constexpr uid_t kNobody = 65534;
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can look at a device as another user";
    PtyMaster pty;
    if (pty.slavePath().isEmpty())
        GTEST_SKIP() << "no pseudo-terminal available";
    const QByteArray slave = QFile::encodeName(pty.slavePath());
    struct stat node {};
    ASSERT_EQ(::chmod(slave.constData(), 0660), 0);
    ASSERT_EQ(::stat(slave.constData(), &node), 0);
    const group *owner = ::getgrgid(node.st_gid);
    ASSERT_NE(owner, nullptr);
    const QString groupName = QString::fromLocal8Bit(owner->gr_name);

    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::close(pipeEnds[0]);
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(2);
        const QByteArray said = describeOpenFailure(gatherOpenFailureFacts(pty.slavePath(), QString())).toUtf8();
        const bool written = ::write(pipeEnds[1], said.constData(), size_t(said.size())) == ssize_t(said.size());
        ::_exit(written ? 0 : 3);
    }
    ::close(pipeEnds[1]);
    QByteArray said;
    char chunk[512];
    ssize_t n = 0;
    while ((n = ::read(pipeEnds[0], chunk, sizeof chunk)) > 0)
        said.append(chunk, n);
    ::close(pipeEnds[0]);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "child status " << status;
    EXPECT_EQ(QString::fromUtf8(said),
              QStringLiteral("permission denied: %1 belongs to the group %2, and you are not in the %2 group "
                             "(sudo usermod -aG %2 $USER, then log out and back in)")
                  .arg(pty.slavePath(), groupName));
}

#endif

} // namespace
