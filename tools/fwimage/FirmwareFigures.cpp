#include "tools/fwimage/FirmwareFigures.h"

#include "flash/FirmwareImage.h"
#include "flash/FirmwareVersion.h"
#include "flash/ImagePacking.h"
#include "flash/LineCodec.h"
#include "link/CameraVersion.h"

#include <algorithm>

const char FirmwareFigures::kEscapedValues[kEscapedValueCount] = {0x02, 0x04, 0x7F};

namespace {

int escapedValueIndex(char byte)
{
    const char *values = FirmwareFigures::kEscapedValues;
    const char *found = std::find(values, values + FirmwareFigures::kEscapedValueCount, byte);
    return static_cast<int>(found - values);
}

QString byValue(const qint64 (&counts)[FirmwareFigures::kEscapedValueCount])
{
    return QStringLiteral("0x02: %1, 0x04: %2, 0x7F: %3").arg(counts[0]).arg(counts[1]).arg(counts[2]);
}

} // namespace

FirmwareFigures FirmwareFigures::of(const QByteArray &container)
{
    const LineRecords lines = unpackFirmware(container);
    FirmwareFigures figures;
    figures.recordCount = lines.size();
    figures.upperIndex = lines.size() - 1;
    figures.containerBytes = container.size();
    figures.trailingBytes = container.size() - containerRecordBytes(lines);
    figures.shortestBody = lines.front().size();
    figures.longestBody = lines.front().size();

    for (const QByteArray &line : lines) {
        figures.shortestBody = qMin<qint64>(figures.shortestBody, line.size());
        figures.longestBody = qMax<qint64>(figures.longestBody, line.size());
        if (line.size() == LineCodec::kLogicalBytes)
            ++figures.bodiesWithoutEscape;
        // A valid body: every escape byte opens a pair, so the byte after it is the
        // escaped value.
        for (qsizetype i = 0; i < line.size(); ++i) {
            if (line.at(i) != LineCodec::kEscape)
                continue;
            const int value = escapedValueIndex(line.at(++i));
            ++figures.escapedBytes;
            ++figures.escapedByValue[value];
            if (i == line.size() - 1) {
                ++figures.escapedChecksums;
                ++figures.escapedChecksumsByValue[value];
            }
        }
    }

    const QByteArray image = ImagePacking::imageFromLines(lines);
    figures.imageBytes = image.size();
    const FirmwareVersion::Text version = FirmwareVersion::find(image);
    figures.versionText = QString::fromLatin1(version.text);
    figures.versionOffset = version.offset;
    return figures;
}

QStringList FirmwareFigures::describe() const
{
    const QString version = versionOffset < 0
        ? QStringLiteral("none (no \"%1\" in the image)").arg(QLatin1String(CameraVersion::kMarker))
        : QStringLiteral("\"%1\" at image offset 0x%2").arg(versionText).arg(QString::number(versionOffset, 16).toUpper());
    return {
        QStringLiteral("records: %1").arg(recordCount),
        QStringLiteral("upper index U: %1").arg(upperIndex),
        QStringLiteral("container size: %1 bytes").arg(containerBytes),
        QStringLiteral("trailing bytes: %1").arg(trailingBytes),
        QStringLiteral("program image: %1 bytes").arg(imageBytes),
        QStringLiteral("body length L: %1 to %2").arg(shortestBody).arg(longestBody),
        QStringLiteral("bodies without escape: %1").arg(bodiesWithoutEscape),
        QStringLiteral("escaped bytes: %1 (%2)").arg(escapedBytes).arg(byValue(escapedByValue)),
        QStringLiteral("escaped checksums: %1 (%2)").arg(escapedChecksums).arg(byValue(escapedChecksumsByValue)),
        QStringLiteral("version text: %1").arg(version),
    };
}

bool FirmwareFigures::operator==(const FirmwareFigures &other) const
{
    return describe() == other.describe();
}
