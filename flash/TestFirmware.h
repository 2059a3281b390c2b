#pragma once

#include "flash/LineRecords.h"

// Our own test image (resources/firmware/ptz2-test-image.container, made by fwimage
// generate-test-image): pseudo-random code in the shape of the camera's firmware, fit
// only for the simulated camera. Recognised by the program image its records carry,
// so it is known for what it is whether it came as that container, packed from a raw
// or Intel HEX image, or inside a Windows program.
namespace TestFirmware {

bool isTestImage(const LineRecords &lines);

} // namespace TestFirmware
