#pragma once
// The template library's exception: an HRESULT thrown by value.
#include <windows.h>

namespace ATL {

class CAtlException {
public:
    CAtlException(HRESULT hr = E_FAIL) noexcept : m_hr(hr) {}
    operator HRESULT() const noexcept { return m_hr; }
    HRESULT m_hr;
};

[[noreturn]] inline void AtlThrow(HRESULT hr) { throw CAtlException(hr); }

[[noreturn]] inline void AtlThrowLastWin32()
{
    DWORD err = ::GetLastError();
    AtlThrow(err == 0 ? E_FAIL : HRESULT_FROM_WIN32(err));
}

} // namespace ATL
