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
