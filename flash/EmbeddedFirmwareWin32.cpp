// Windows, a build with -DREVERTEX_FIRMWARE: the build links the firmware container
// into the program file as the Win32 resource of type "CUSTOM", ID 101 (see
// cmake/RevertexFirmware.cmake), where the resource API finds it and where tools that
// read program files can check it.
#include "flash/EmbeddedFirmware.h"

#include "flash/FirmwareImage.h"

#include <windows.h>

namespace {

const wchar_t kResourceType[] = L"CUSTOM";
constexpr WORD kResourceId = 101;

[[noreturn]] void noFirmware()
{
    throw FirmwareError(-1, QStringLiteral("no firmware is embedded in this program"));
}

} // namespace

std::optional<QByteArray> embeddedFirmwareContainer()
{
    // A null module is the program file itself, whichever library asks.
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(kResourceId), kResourceType);
    if (!found)
        noFirmware();
    const DWORD size = SizeofResource(nullptr, found);
    HGLOBAL loaded = LoadResource(nullptr, found);
    const void *bytes = loaded ? LockResource(loaded) : nullptr;
    if (!bytes || size == 0)
        noFirmware();
    // The resource stays mapped for the program's life; the copy keeps callers simple.
    return QByteArray(static_cast<const char *>(bytes), qsizetype(size));
}
