#include "DeviceAnnouncer.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

QString temporaryBeside(const QString &path)
{
    return QStringLiteral("%1.tmp.%2").arg(path).arg(getpid());
}

} // namespace

DeviceAnnouncer::DeviceAnnouncer(const QString &devicePath)
    : m_device(devicePath)
{
}

DeviceAnnouncer::~DeviceAnnouncer()
{
    removeLink();
}

bool DeviceAnnouncer::writePathFile(const QString &file, QString *error)
{
    const QString temporary = temporaryBeside(file);
    QFile out(temporary);
    const QByteArray line = m_device.toLocal8Bit() + '\n';
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(line) != line.size() || !out.flush()) {
        *error = QStringLiteral("cannot write %1: %2").arg(temporary, out.errorString());
        out.remove();
        return false;
    }
    out.close();
    if (std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(file).constData()) != 0) {
        *error = QStringLiteral("cannot rename %1 to %2: %3").arg(temporary, file, systemError());
        QFile::remove(temporary);
        return false;
    }
    return true;
}

bool DeviceAnnouncer::makeLink(const QString &link, QString *error)
{
    const QFileInfo existing(link);
    if ((existing.exists() || existing.isSymLink()) && !existing.isSymLink()) {
        *error = QStringLiteral("%1 exists and is not a symbolic link; it is left alone").arg(link);
        return false;
    }
    const QString temporary = temporaryBeside(link);
    QFile::remove(temporary);
    if (symlink(QFile::encodeName(m_device).constData(), QFile::encodeName(temporary).constData()) != 0
        || std::rename(QFile::encodeName(temporary).constData(), QFile::encodeName(link).constData()) != 0) {
        *error = QStringLiteral("cannot make the link %1: %2").arg(link, systemError());
        QFile::remove(temporary);
        return false;
    }
    m_link = link;
    return true;
}

void DeviceAnnouncer::removeLink()
{
    if (m_link.isEmpty())
        return;
    // Someone may have pointed the link elsewhere since; then it is theirs.
    char target[4096];
    const ssize_t length = readlink(QFile::encodeName(m_link).constData(), target, sizeof target);
    if (length > 0 && QByteArray(target, length) == QFile::encodeName(m_device))
        QFile::remove(m_link);
    m_link.clear();
}
