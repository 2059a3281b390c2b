#include "PtyClient.h"

#include <QElapsedTimer>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

PtyClient::PtyClient(const QString &device)
{
    m_fd = ::open(device.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_fd < 0)
        return;
    termios mode{};
    tcgetattr(m_fd, &mode);
    cfmakeraw(&mode);
    tcsetattr(m_fd, TCSANOW, &mode);
}

PtyClient::~PtyClient()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void PtyClient::send(const QByteArray &command)
{
    sendBytes('\x02' + command + '\x04');
}

void PtyClient::sendBytes(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(m_fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written > 0) {
            done += written;
        } else if (written < 0 && errno == EAGAIN) {
            pollfd out{m_fd, POLLOUT, 0};
            poll(&out, 1, 100);
        } else if (!(written < 0 && errno == EINTR)) {
            return;
        }
    }
}

QList<QByteArray> PtyClient::readReplies(int count, int capMs)
{
    QList<QByteArray> replies;
    QElapsedTimer waited;
    waited.start();
    for (;;) {
        qsizetype end;
        while (replies.size() < count && (end = m_pending.indexOf('\x04')) >= 0) {
            replies.append(m_pending.left(end + 1));
            m_pending.remove(0, end + 1);
        }
        const qint64 left = capMs - waited.elapsed();
        if (replies.size() >= count || left <= 0)
            return replies;
        if (!readSome(left))
            return replies;   // the device is gone
    }
}

bool PtyClient::readSome(qint64 waitMs)
{
    pollfd in{m_fd, POLLIN, 0};
    if (poll(&in, 1, static_cast<int>(waitMs)) <= 0)
        return true;
    char buffer[512];
    const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
    if (got > 0)
        m_pending.append(buffer, got);
    else if (got == 0 || (errno != EAGAIN && errno != EINTR))
        return false;
    return true;
}

QByteArray PtyClient::readFor(int ms)
{
    QElapsedTimer waited;
    waited.start();
    for (qint64 left = ms; left > 0; left = ms - waited.elapsed()) {
        if (!readSome(left))
            break;
    }
    QByteArray all = m_pending;
    m_pending.clear();
    return all;
}

bool PtyClient::waitForClosed(int capMs)
{
    QElapsedTimer waited;
    waited.start();
    for (qint64 left = capMs; left > 0; left = capMs - waited.elapsed()) {
        pollfd in{m_fd, POLLIN, 0};
        if (poll(&in, 1, static_cast<int>(left)) <= 0)
            continue;
        if (in.revents & (POLLHUP | POLLERR))
            return true;
        char buffer[512];
        const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno == EIO))
            return true;
    }
    return false;
}
