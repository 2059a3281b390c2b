#pragma once

#include "flash/FirmwareInput.h"

#include <QStringList>
#include <QTextStream>

// The fwimage command line: parses the arguments, runs one subcommand, reports on
// the given streams and returns the exit status (0 done, 1 bad input or failed
// output, 2 wrong usage). Never throws.
class FwimageCommand {
public:
    static constexpr int kDone = 0;
    static constexpr int kFailed = 1;
    static constexpr int kUsage = 2;

    FwimageCommand(QTextStream &out, QTextStream &err) : m_out(out), m_err(err) {}

    // arguments without the program name
    int run(const QStringList &arguments);

private:
    int pack(const QStringList &files, FirmwareInput::Format format);
    int verify(const QStringList &files, FirmwareInput::Format format);
    int unpack(const QStringList &files, FirmwareInput::Format format);
    int embed(const QStringList &files, FirmwareInput::Format format);
    int generateTestImage(const QStringList &files, FirmwareInput::Format format);

    int usageError(const QString &problem);
    bool readInput(const QString &path, QByteArray *data);
    bool writeOutput(const QString &path, const QByteArray &data);

    QTextStream &m_out;
    QTextStream &m_err;
};
