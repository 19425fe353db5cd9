#pragma once
// The one rule for failed system calls: the last error as HRESULT, never success.
#include <windows.h>

// Read right after the failed call; a failure that left no code (last error 0) is E_FAIL.
inline HRESULT LastErrorAsHResult() noexcept
{
    const DWORD error = ::GetLastError();
    return error ? HRESULT_FROM_WIN32(error) : E_FAIL;
}

// A Win32 code known to stand for a failure: 0 (no code) is E_FAIL as well.
inline HRESULT FailureFromWin32(DWORD error) noexcept { return error ? HRESULT_FROM_WIN32(error) : E_FAIL; }

// A failed HRESULT stays as it is; a success code where a failure was meant becomes E_FAIL.
inline HRESULT FailureOrFail(HRESULT hr) noexcept { return FAILED(hr) ? hr : E_FAIL; }

// The error record's own conversion, for the few places that store a code as it came: 0 or less
// is kept (so 0 stays 0, "no code"), a positive code becomes 0x8007xxxx. Not for failed calls.
inline HRESULT HResultFromWin32KeepingZero(DWORD code) noexcept
{
    const auto value = static_cast<LONG>(code);
    if (value <= 0) return value;
    return static_cast<HRESULT>((code & 0xFFFF) | 0x80070000);
}

// The last error by the same rule: 0 stays 0.
inline HRESULT LastErrorKeepingZero() noexcept { return HResultFromWin32KeepingZero(::GetLastError()); }
