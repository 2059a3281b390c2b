#include "ExpectedImage.h"

#include "LineCheck.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr qsizetype kFieldBytes = 4;

// The container as the camera's maker would lay it out: the upper index U, then U + 1
// records, each a 32-bit length and a line body; everything little-endian, anything
// after the last record ignored. Read here on its own, apart from the wizard's reader.
struct ContainerRead {
    QByteArray image;
    int lines = 0;
    QString fault;   // empty when every record was a good line
};

bool readField(const QByteArray &bytes, qsizetype &at, qint32 &value)
{
    if (bytes.size() - at < kFieldBytes)
        return false;
    value = qFromLittleEndian<qint32>(bytes.constData() + at);
    at += kFieldBytes;
    return true;
}

ContainerRead readContainer(const QByteArray &bytes)
{
    ContainerRead read;
    qsizetype at = 0;
    qint32 upper = 0;
    if (!readField(bytes, at, upper)) {
        read.fault = QStringLiteral("shorter than the upper index at its start");
        return read;
    }
    if (upper < 0) {
        read.fault = QStringLiteral("upper index %1 is negative").arg(upper);
        return read;
    }
    for (qint64 record = 0; record <= upper; ++record) {
        qint32 length = 0;
        if (!readField(bytes, at, length) || length < 0 || bytes.size() - at < length) {
            read.fault = QStringLiteral("record %1 of %2 runs past the end or has a negative length")
                             .arg(record)
                             .arg(qint64(upper) + 1);
            return read;
        }
        const LineCheck::Result line = LineCheck::read(bytes.mid(at, length));
        if (!line.good) {
            read.fault = QStringLiteral("record %1 of %2: %3").arg(record).arg(qint64(upper) + 1).arg(line.fault);
            return read;
        }
        read.image.append(line.imageBytes);
        at += length;
    }
    read.lines = upper + 1;
    return read;
}

} // namespace

ExpectedImage ExpectedImage::load(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ExpectedImage failed;
        failed.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return failed;
    }
    ExpectedImage loaded = fromBytes(file.readAll());
    if (!loaded.error.isEmpty())
        loaded.error = QStringLiteral("%1: %2").arg(path, loaded.error);
    return loaded;
}

ExpectedImage ExpectedImage::fromBytes(const QByteArray &bytes)
{
    ExpectedImage expected;
    const ContainerRead container = readContainer(bytes);
    if (container.fault.isEmpty()) {
        expected.image = container.image;
        expected.description = QStringLiteral("firmware container, %1 lines").arg(container.lines);
        return expected;
    }
    // A raw image is the only other form; its lines are plain 64-byte slices.
    if (!bytes.isEmpty() && bytes.size() % LineCheck::kImageBytesPerLine == 0) {
        expected.image = bytes;
        expected.description = QStringLiteral("raw image, %1 lines").arg(bytes.size() / LineCheck::kImageBytesPerLine);
        return expected;
    }
    expected.error = QStringLiteral("neither a firmware container (%1) nor a raw image (%2 bytes, not a "
                                    "non-zero multiple of %3)")
                         .arg(container.fault)
                         .arg(bytes.size())
                         .arg(LineCheck::kImageBytesPerLine);
    return expected;
}
