#pragma once

#include "link/CommPort.h"
#include "link/RuntimeError.h"

#include <QByteArray>
#include <QList>
#include <QString>

// A serial port for stepping sequences by hand: records every write, hands out
// queued input one read at a time, and fails on demand.
class FakeCommPort : public CommPort {
public:
    bool isOpen = false;
    qint16 number = 0;
    QList<QByteArray> writes;        // each write as handed over
    QList<QByteArray> pendingReads;  // each read() returns the next one (or nothing)
    int opens = 0;
    int closes = 0;
    bool failOpen = false;
    bool failWrite = false;
    bool failRead = false;

    bool portOpen() const override { return isOpen; }
    void close() override
    {
        isOpen = false;
        ++closes;
    }
    void setCommPort(qint16 n) override { number = n; }
    void open() override
    {
        if (failOpen)
            throw RuntimeError(CommError::PortAlreadyOpen, QStringLiteral("Port already open"));
        isOpen = true;
        ++opens;
    }
    void output(const QByteArray &bytes) override
    {
        if (failWrite || !isOpen)
            throw RuntimeError(CommError::WriteFailed, QStringLiteral("Error writing comm device"));
        writes.append(bytes);
    }
    QByteArray input() override
    {
        if (failRead || !isOpen)
            throw RuntimeError(CommError::ReadFailed, QStringLiteral("Error reading comm device"));
        return pendingReads.isEmpty() ? QByteArray() : pendingReads.takeFirst();
    }

    // All bytes written so far, as they went on the wire.
    QByteArray wire() const
    {
        QByteArray all;
        for (const QByteArray &w : writes)
            all.append(w);
        return all;
    }
};
