#pragma once

#include <QByteArray>

// The firmware version as the camera reports it: "... BOOT ... CBOX 3.46". The check
// compares the reported version with the one this wizard flashes, so the firmware image
// sent must carry the very text the camera will report for it (flash/FirmwareVersion).
namespace CameraVersion {

// The version of the firmware this wizard flashes.
constexpr char kReference[] = "3.46";
// What comes before the version, in the camera's report as in the firmware image.
constexpr char kMarker[] = "CBOX ";
// What pvr makes of a reply that is no version report.
constexpr char kUnknown[] = "unk";

// The text a camera running the reference version reports, and the firmware must carry.
inline QByteArray referenceText() { return QByteArray(kMarker) + kReference; }

} // namespace CameraVersion
