#pragma once

#include "flash/LineRecords.h"
#include "link/CameraVersion.h"

#include <QByteArray>

// The firmware version this wizard flashes. The camera check compares the version the
// camera reports with it, so the image sent must be that version: a firmware file is
// taken only when its image carries the version text the camera reports, "CBOX 3.46".
namespace FirmwareVersion {

using CameraVersion::kReference;   // "3.46", the version the camera check accepts
// What comes before the version, in the camera's report as in the image.
constexpr char kMarker[] = "CBOX ";

// The first "CBOX " of an image with the digits and dots after it ("CBOX 3.46"), and
// its offset in the image; an empty text and offset -1 when the image has none.
struct Text {
    QByteArray text;
    qint64 offset = -1;
};
Text find(const QByteArray &image);

// Throws ImageError unless the lines' image carries "CBOX " followed by kReference.
void requireReference(const LineRecords &lines);

} // namespace FirmwareVersion
