#pragma once

#include "flash/LineRecords.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

// A firmware container that cannot be used: which record (or -1 for the container
// itself) and what is wrong with it. Records are numbered from 0, as the line
// transfer numbers them.
class FirmwareError : public std::runtime_error {
public:
    // recordCount, when known (> 0), is added to the message as "of N".
    FirmwareError(int record, const QString &fault, qint64 recordCount = 0);

    int record() const { return m_record; }
    QString fault() const { return m_fault; }
    qint64 recordCount() const { return m_recordCount; }
    // "record 17 of 899: checksum 0x12 where ..." or "container: ..."
    QString message() const;

private:
    int m_record;
    QString m_fault;
    qint64 m_recordCount;
};

// Reads a container (little-endian: upper index U, then U + 1 records of a 32-bit
// length L and L body bytes; bytes after the last record are ignored) into its line
// records, byte for byte as stored. Every record is checked to be a valid wire-form
// line; any fault throws FirmwareError and nothing is returned. The container is
// read in memory: no file is written.
LineRecords unpackFirmware(const QByteArray &container);

// How many bytes of a container the records take (count field included): everything
// after that is the ignored tail. Only for a container unpackFirmware accepted.
qint64 containerRecordBytes(const LineRecords &lines);

// The bytes of a Qt resource, or FirmwareError(-1, "no firmware is embedded in this
// program") when there is no such resource.
QByteArray firmwareContainerFromResource(const QString &resourcePath);
