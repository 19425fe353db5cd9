#pragma once
// Owner of one WinINet handle; the base of session, connection and request. The handle's
// context value is a key that names this object for as long as it lives: WinINet may still
// report on an operation it could not be made to give up after the object is gone, and a key
// is never given twice, so a late report finds nothing instead of freed memory or a newcomer.
#include <windows.h>

#include <wininet.h>

class CInternetSession;
class CInternetStatusCallback;

class CInternetHandle {
public:
    CInternetHandle();
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    virtual ~CInternetHandle();

    virtual bool Close();
    // The session whose status callback hears this handle's notifications.
    virtual CInternetSession* GetSession() const { return nullptr; }

    HINTERNET GetHandle() const { return m_handle; }
    DWORD_PTR GetContextValue() const { return m_key; }

    // Calls `notify` with the live handle object registered under `key`, if any; the object is
    // not destroyed before `notify` returns.
    static void WithLiveHandle(DWORD_PTR key, void (*notify)(const CInternetHandle&, void*), void* argument);

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

private:
    const DWORD_PTR m_key;
};
