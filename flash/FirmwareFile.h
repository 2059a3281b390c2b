#pragma once

#include "flash/FirmwareInput.h"
#include "flash/LineRecords.h"

#include <QByteArray>
#include <QString>
#include <stdexcept>

// A firmware file that cannot be used, in the words a person is shown: the file, what
// it was read as, and what is wrong with it.
class FirmwareRefusal : public std::runtime_error {
public:
    // readAs: "a Windows program", ...; empty when the file was not read that far.
    FirmwareRefusal(const QString &path, const QString &readAs, const QString &fault);

    QString path() const { return m_path; }
    QString readAs() const { return m_readAs; }
    QString fault() const { return m_fault; }
    // "PATH, read as a Windows program: FAULT", or "PATH: FAULT".
    QString message() const;

private:
    QString m_path;
    QString m_readAs;
    QString m_fault;
};

// The firmware a file gives, checked to the last byte.
struct CheckedFirmware {
    FirmwareInput::Format format = FirmwareInput::Format::Auto;   // what the file was read as
    QByteArray container;
    LineRecords lines;
};

namespace FirmwareFile {

// Larger than any firmware file: a Windows flash program with its image is a few
// megabytes at most. A larger file is refused before it is read into memory.
constexpr qint64 kMaxBytes = 64 * 1024 * 1024;

// The whole file; throws FirmwareRefusal when it cannot be read or is too large.
QByteArray read(const QString &path);

// A file's bytes as the wizard takes them: read as the format says (auto: by its
// content), every record a valid line, and the image carrying the version this wizard
// flashes. Throws FirmwareError or ImageError.
CheckedFirmware check(const QByteArray &data, FirmwareInput::Format format = FirmwareInput::Format::Auto);

// read() and check(), every fault a FirmwareRefusal.
CheckedFirmware load(const QString &path);

} // namespace FirmwareFile
