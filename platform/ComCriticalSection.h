#pragma once
// The template library's critical section: a CRITICAL_SECTION with explicit Init and Term.
#include <windows.h>

namespace ATL {

class CComCriticalSection {
public:
    CComCriticalSection() noexcept { ::ZeroMemory(&m_sec, sizeof(m_sec)); }

    HRESULT Lock() noexcept
    {
        ::EnterCriticalSection(&m_sec);
        return S_OK;
    }
    HRESULT Unlock() noexcept
    {
        ::LeaveCriticalSection(&m_sec);
        return S_OK;
    }
    HRESULT Init() noexcept
    {
        if (::InitializeCriticalSectionEx(&m_sec, 0, 0)) return S_OK;
        const DWORD err = ::GetLastError();
        return err == 0 ? E_FAIL : HRESULT_FROM_WIN32(err);
    }
    HRESULT Term() noexcept
    {
        ::DeleteCriticalSection(&m_sec);
        return S_OK;
    }

    CRITICAL_SECTION m_sec;
};

} // namespace ATL
