#pragma once
// Time bounds of tests, widened on machines slower or busier than a loaded 2-core runner.
#include <windows.h>

#include <cstdlib>

// `ms` multiplied by the whole number in environment variable `variable` (1 when unset or below 1).
inline DWORD ScaledTime(const wchar_t* variable, DWORD ms)
{
    wchar_t value[16] = {};
    const DWORD n = ::GetEnvironmentVariableW(variable, value, 16);
    const int scale = n > 0 && n < 16 ? _wtoi(value) : 1;
    return ms * static_cast<DWORD>(scale > 1 ? scale : 1);
}
