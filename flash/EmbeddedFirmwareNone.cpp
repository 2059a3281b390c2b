// A build without -DREVERTEX_FIRMWARE carries no firmware: the program asks for it when
// it starts.
#include "flash/EmbeddedFirmware.h"

std::optional<QByteArray> embeddedFirmwareContainer()
{
    return std::nullopt;
}
