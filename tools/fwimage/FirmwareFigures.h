#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The figures that describe a firmware container: what fwimage verify prints and
// what the test image generator checks its output against.
struct FirmwareFigures {
    // The escaped byte values in the order the figures list them: 0x02, 0x04, 0x7F.
    static constexpr int kEscapedValueCount = 3;
    static const char kEscapedValues[kEscapedValueCount];

    qint64 recordCount = 0;
    qint64 upperIndex = 0;
    qint64 containerBytes = 0;
    qint64 trailingBytes = 0;
    qint64 imageBytes = 0;
    qint64 shortestBody = 0;
    qint64 longestBody = 0;
    qint64 bodiesWithoutEscape = 0;
    qint64 escapedBytes = 0;
    qint64 escapedByValue[kEscapedValueCount] = {};
    qint64 escapedChecksums = 0;
    qint64 escapedChecksumsByValue[kEscapedValueCount] = {};
    // "CBOX 3.46": "CBOX " and the digits and dots after it, as found in the image.
    QString versionText;
    qint64 versionOffset = -1;

    // Throws FirmwareError for a container unpackFirmware refuses.
    static FirmwareFigures of(const QByteArray &container);

    // One "name: value" line per figure.
    QStringList describe() const;

    // Equal when every figure is.
    bool operator==(const FirmwareFigures &other) const;
    bool operator!=(const FirmwareFigures &other) const { return !(*this == other); }
};
