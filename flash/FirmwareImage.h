#pragma once

#include "flash/LineRecords.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

// A firmware container that cannot be used: which record (or -1 for the container
// itself) and what is wrong with it.
class FirmwareError : public std::runtime_error {
public:
    FirmwareError(int record, const QString &fault);

    int record() const { return m_record; }
    QString fault() const { return m_fault; }
    // "record 17: checksum 0x12 where ..." or "container: ..."
    QString message() const;

private:
    int m_record;
    QString m_fault;
};

// Reads a container (little-endian: upper index U, then U + 1 records of a 32-bit
// length L and L body bytes; bytes after the last record are ignored) into its line
// records, byte for byte as stored. Every record is checked to be a valid wire-form
// line; any fault throws FirmwareError and nothing is returned.
LineRecords unpackFirmware(const QByteArray &container);

// The container embedded in the program at build time.
QByteArray embeddedFirmwareContainer();
