// The one place that knows where the build put the firmware container: this file is
// compiled into revertex_embedded_firmware together with the generated resource.
#include "flash/EmbeddedFirmware.h"

#include "flash/FirmwareImage.h"

#include <QtGlobal>

namespace {

// The original program's resource type "CUSTOM" and ID 101.
const char kFirmwareResource[] = ":/CUSTOM/101";

} // namespace

// Outside any namespace, as Q_INIT_RESOURCE requires. The resource sits in a static
// library; registering it here pulls it into every program that asks for the firmware.
static bool registerFirmwareResource()
{
    Q_INIT_RESOURCE(revertex_firmware_resource);
    return true;
}

std::optional<QByteArray> embeddedFirmwareContainer()
{
    static const bool registered = registerFirmwareResource();
    Q_UNUSED(registered);
    return firmwareContainerFromResource(QString::fromLatin1(kFirmwareResource));
}
