#pragma once

// The firmware version the camera check accepts: the camera must report it after a
// flash, so the wizard flashes only an image that carries it (flash/FirmwareVersion.h).
namespace CameraVersion {

constexpr char kReference[] = "3.46";

} // namespace CameraVersion
