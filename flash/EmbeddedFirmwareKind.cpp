// Whether the build chose the firmware or fell back to our test image: the build
// defines REVERTEX_EMBEDS_TEST_IMAGE for this file when no firmware was named.
#include "flash/FirmwareImage.h"

bool embeddedFirmwareIsTestImage()
{
#ifdef REVERTEX_EMBEDS_TEST_IMAGE
    return true;
#else
    return false;
#endif
}
