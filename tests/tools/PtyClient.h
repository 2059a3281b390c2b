#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// The program's side of the simulated camera's pseudo-terminal, with plain termios
// and poll(): sends frames and collects replies cut at EOT.
class PtyClient {
public:
    // Far more than any reply needs, even on a slow, busy machine.
    static constexpr int kReplyCapMs = 10000;

    explicit PtyClient(const QString &device);
    ~PtyClient();
    PtyClient(const PtyClient &) = delete;
    PtyClient &operator=(const PtyClient &) = delete;

    bool isOpen() const { return m_fd >= 0; }

    // STX, the command, EOT in one write.
    void send(const QByteArray &command);
    void sendBytes(const QByteArray &bytes);

    // Replies (STX .. EOT) until `count` have arrived or the cap has passed.
    QList<QByteArray> readReplies(int count, int capMs = kReplyCapMs);
    // Everything that arrives within `ms`, for checking that nothing does.
    QByteArray readFor(int ms);
    // Waits until the device goes away: end-of-file, EIO or hang-up.
    bool waitForClosed(int capMs = kReplyCapMs);

private:
    // Waits up to waitMs for input and appends what came; false when the device is gone.
    bool readSome(qint64 waitMs);
    int m_fd = -1;
    QByteArray m_pending;
};
