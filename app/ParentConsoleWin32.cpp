#include "app/ParentConsole.h"

#include <cstdio>
#include <windows.h>

void useParentConsole()
{
    const auto missing = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle == nullptr || handle == INVALID_HANDLE_VALUE;
    };
    const bool outMissing = missing(STD_OUTPUT_HANDLE);
    const bool errMissing = missing(STD_ERROR_HANDLE);
    if ((outMissing || errMissing) && AttachConsole(ATTACH_PARENT_PROCESS)) {
        // Should a stream not reopen, it stays as it was: there is nowhere else to say so.
        FILE *ignored = nullptr;
        if (outMissing)
            freopen_s(&ignored, "CONOUT$", "w", stdout);
        if (errMissing)
            freopen_s(&ignored, "CONOUT$", "w", stderr);
    }
}
