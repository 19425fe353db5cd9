#pragma once
// Owner of one WinINet handle; the base of session, connection and request. The handle's
// context value is this object, through which the status thunk finds the session.
#include <windows.h>
#include <wininet.h>

class CInternetSession;
class CInternetStatusCallback;

class CInternetHandle {
public:
    CInternetHandle() = default;
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    virtual ~CInternetHandle();

    virtual bool Close();
    // The session whose status callback hears this handle's notifications.
    virtual CInternetSession* GetSession() const { return nullptr; }

    HINTERNET GetHandle() const { return m_handle; }
    DWORD_PTR GetContextValue() const { return reinterpret_cast<DWORD_PTR>(this); }

protected:
    // Reset the session's callback, close, and wait when the close pends in an asynchronous session.
    bool CloseWith(CInternetSession* session);
    // The callback every pending operation waits on; null when none is installed.
    static CInternetStatusCallback* CallbackOf(CInternetSession* session);
    bool IsPending(CInternetSession* session, DWORD error) const;
    // Waits for the pending operation; a wait that fails before completion gives the operation up
    // by closing the handle and waiting until WinINet lets go of the caller's buffers.
    HRESULT WaitPending(CInternetSession* session, DWORD status, bool report);

    HINTERNET m_handle = nullptr;
    // Set when a given-up operation did not settle in time: its buffers must not be released.
    bool m_unsettled = false;
};
