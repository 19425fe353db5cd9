#pragma once
// The WinINet session (InternetOpenW), its status callback and the thunk WinINet calls.
#include "inet/InternetHandle.h"

#include <string>

class CInternetSession : public CInternetHandle {
public:
    CInternetSession() = default;
    // Throws CInternetException (code 3) when the session cannot be opened.
    CInternetSession(const wchar_t* agent, DWORD accessType, const wchar_t* proxy, const wchar_t* proxyBypass,
                     DWORD flags);
    ~CInternetSession() override;

    // A null agent sends the program file's base name without extension.
    HRESULT Open(const wchar_t* agent, DWORD accessType, const wchar_t* proxy, const wchar_t* proxyBypass, DWORD flags);
    bool Close() override;
    CInternetSession* GetSession() const override { return const_cast<CInternetSession*>(this); }

    void SetStatusCallback(CInternetStatusCallback* callback);
    CInternetStatusCallback* GetStatusCallback() const { return m_callback; }
    void ResetCallback();
    DWORD GetOpenFlags() const { return m_flags; }
    bool IsAsync() const { return (m_flags & INTERNET_FLAG_ASYNC) != 0; }

private:
    DWORD m_flags = 0;
    CInternetStatusCallback* m_callback = nullptr;
};

// The program file's name without folder and extension.
std::wstring GetProgramBaseName();
