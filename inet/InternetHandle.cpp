#include "inet/InternetHandle.h"

#include "inet/InternetSession.h"
#include "inet/InternetStatusCallbackBS.h"

CInternetHandle::~CInternetHandle()
{
    if (m_handle && ::InternetCloseHandle(m_handle)) m_handle = nullptr;
}

bool CInternetHandle::Close()
{
    if (!m_handle) return true;
    if (!::InternetCloseHandle(m_handle)) return false;
    m_handle = nullptr;
    return true;
}

CInternetStatusCallback* CInternetHandle::CallbackOf(CInternetSession* session)
{
    return session ? session->GetStatusCallback() : nullptr;
}

bool CInternetHandle::IsPending(CInternetSession* session, DWORD error) const
{
    return session && session->IsAsync() && error == ERROR_IO_PENDING;
}

bool CInternetHandle::CloseWith(CInternetSession* session)
{
    CInternetStatusCallback* callback = CallbackOf(session);
    if (callback) callback->Reset();
    if (!m_handle) return true;
    if (!::InternetCloseHandle(m_handle)) {
        if (!IsPending(session, ::GetLastError())) return false;
        if (!callback) return false;
        if (FAILED(callback->Wait(0, false))) return false;
    }
    m_handle = nullptr;
    return true;
}

HRESULT CInternetHandle::WaitPending(CInternetSession* session, DWORD status, bool report)
{
    CInternetStatusCallback* callback = CallbackOf(session);
    // An asynchronous session must have its callback installed before anything can pend.
    if (!callback) return E_UNEXPECTED;
    const HRESULT hr = callback->Wait(status, report);
    if (FAILED(hr) && !callback->IsCompleted() && m_handle) {
        const HINTERNET handle = m_handle;
        m_handle = nullptr;
        callback->WatchClosing(handle);
        ::InternetCloseHandle(handle);
        const auto* bounded = dynamic_cast<CInternetStatusCallbackBS*>(callback);
        m_unsettled = !callback->WaitSettled(bounded ? bounded->GetTimeout() : CInternetStatusCallbackBS::kDefaultTimeout);
    }
    return hr;
}
