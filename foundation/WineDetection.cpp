#include "foundation/WineDetection.h"

#include <windows.h>

bool RunningUnderWine()
{
    static const bool wine = ::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}
