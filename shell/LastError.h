#pragma once
// Failed system calls as HRESULTs.
#include "foundation/ResString.h"

#include <windows.h>

// The last error as HRESULT, read right after the failed call; a failure that left no code
// still counts as a failure (E_FAIL), never as success.
inline HRESULT LastErrorAsHResult()
{
    const DWORD error = ::GetLastError();
    return error ? HResultFromWin32(error) : E_FAIL;
}
