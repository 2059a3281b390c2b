#pragma once

#include "flash/LineRecords.h"
#include "link/CameraVersion.h"

#include <QByteArray>

// The version text in a firmware image. A firmware file is taken only when its image
// carries the text a camera running the version this wizard flashes reports
// (CameraVersion::referenceText()).
namespace FirmwareVersion {

// The first "CBOX " of an image with the digits and dots after it ("CBOX 3.46"), and
// its offset in the image; an empty text and offset -1 when the image has none.
struct Text {
    QByteArray text;
    qint64 offset = -1;
};
Text find(const QByteArray &image);

// Throws ImageError unless the lines' first version text is CameraVersion::referenceText().
void requireReference(const LineRecords &lines);

} // namespace FirmwareVersion
