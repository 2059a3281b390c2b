#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

// True when this Windows program runs under Wine rather than on Windows: Wine's ntdll
// exports wine_get_version, which no Windows ntdll has. Tests use it to name what Wine
// lacks instead of failing on it.
inline bool runningUnderWine()
{
#ifdef _WIN32
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
#else
    return false;
#endif
}
