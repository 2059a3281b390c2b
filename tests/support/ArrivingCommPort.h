#pragma once

#include "tests/support/FakeCommPort.h"

#include <QObject>
#include <QTimer>

#include <functional>
#include <utility>

// A fake port that tells of arriving bytes, as QSerialPort's readyRead does: arrive()
// queues bytes for the next read and gives word of them. A camera, when set, answers
// every whole frame (a write ending in EOT) with what it returns, on a later turn of
// the event loop, as a real line would.
class ArrivingCommPort : public FakeCommPort {
public:
    std::function<void()> handler;
    std::function<QByteArray(const QByteArray &frame)> camera;
    QByteArray arriveDuringNextRead;   // given word of while a read runs, after it

    bool notifyArrivals(std::function<void()> h) override
    {
        handler = std::move(h);
        return true;
    }

    void arrive(const QByteArray &bytes)
    {
        pendingReads.append(bytes);
        if (handler)
            handler();
    }

    void output(const QByteArray &bytes) override
    {
        FakeCommPort::output(bytes);
        if (camera && bytes.endsWith('\x04')) {
            const QByteArray answer = camera(bytes);
            if (!answer.isEmpty())
                QTimer::singleShot(0, &m_lifetime, [this, answer] { arrive(answer); });
        }
    }

    QByteArray input() override
    {
        const QByteArray read = FakeCommPort::input();
        if (!arriveDuringNextRead.isEmpty())
            arrive(std::exchange(arriveDuringNextRead, QByteArray()));
        return read;
    }

private:
    QObject m_lifetime;   // answers still on their way die with the port
};
