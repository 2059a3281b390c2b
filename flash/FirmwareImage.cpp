#include "flash/FirmwareImage.h"

#include "flash/LineCodec.h"

#include <QFile>
#include <QtEndian>

namespace {

constexpr qint64 kFieldBytes = 4;   // the count and every length are signed 32-bit little-endian

QString composeMessage(int record, const QString &fault, qint64 recordCount)
{
    if (record < 0)
        return QStringLiteral("container: %1").arg(fault);
    if (recordCount > 0)
        return QStringLiteral("record %1 of %2: %3").arg(record).arg(recordCount).arg(fault);
    return QStringLiteral("record %1: %2").arg(record).arg(fault);
}

qint32 readField(const QByteArray &data, qint64 offset)
{
    return qFromLittleEndian<qint32>(data.constData() + offset);
}

} // namespace

FirmwareError::FirmwareError(int record, const QString &fault, qint64 recordCount)
    : std::runtime_error(composeMessage(record, fault, recordCount).toStdString()),
      m_record(record),
      m_fault(fault),
      m_recordCount(recordCount)
{
}

QString FirmwareError::message() const
{
    return composeMessage(m_record, m_fault, m_recordCount);
}

LineRecords unpackFirmware(const QByteArray &container)
{
    // All offsets are 64-bit and every field is checked against what is left before
    // it is used, so no count or length can push an offset past the data or wrap.
    const qint64 size = container.size();
    if (size < kFieldBytes)
        throw FirmwareError(-1, QStringLiteral("%1 bytes, too short to hold the record count").arg(size));

    const qint32 upperIndex = readField(container, 0);
    if (upperIndex < 0)
        throw FirmwareError(-1, QStringLiteral("negative record count: upper index %1").arg(upperIndex));
    const qint64 recordCount = qint64(upperIndex) + 1;
    if (upperIndex < 1)
        throw FirmwareError(-1, QStringLiteral("only one record (upper index 0); a firmware image has at least two"));
    // Every record needs at least its length field: refuse an impossible count before
    // allocating anything for it.
    if (recordCount * kFieldBytes > size - kFieldBytes)
        throw FirmwareError(-1, QStringLiteral("a count of %1 records runs past the end: only %2 bytes follow it")
                                    .arg(recordCount)
                                    .arg(size - kFieldBytes));

    LineRecords lines;
    lines.reserve(static_cast<qsizetype>(recordCount));
    qint64 offset = kFieldBytes;
    for (qint64 index = 0; index < recordCount; ++index) {
        const int record = static_cast<int>(index);
        if (size - offset < kFieldBytes)
            throw FirmwareError(record, QStringLiteral("the length field at byte %1 runs past the end (%2 bytes)")
                                            .arg(offset)
                                            .arg(size),
                                recordCount);
        const qint32 length = readField(container, offset);
        offset += kFieldBytes;
        if (length < 0)
            throw FirmwareError(record, QStringLiteral("negative length %1").arg(length), recordCount);
        if (length > size - offset)
            throw FirmwareError(record, QStringLiteral("length %1 runs past the end: only %2 bytes are left")
                                            .arg(length)
                                            .arg(size - offset),
                                recordCount);
        QByteArray body = container.mid(static_cast<qsizetype>(offset), length);
        offset += length;

        const LineCodec::Decoded decoded = LineCodec::decodeLine(body);
        if (!decoded.ok)
            throw FirmwareError(record, decoded.fault, recordCount);
        lines.append(body);
    }
    return lines;
}

qint64 containerRecordBytes(const LineRecords &lines)
{
    qint64 bytes = kFieldBytes;
    for (const QByteArray &line : lines)
        bytes += kFieldBytes + line.size();
    return bytes;
}

QByteArray firmwareContainerFromResource(const QString &resourcePath)
{
    QFile resource(resourcePath);
    if (!resource.open(QIODevice::ReadOnly))
        throw FirmwareError(-1, QStringLiteral("no firmware is embedded in this program"));
    return resource.readAll();
}
