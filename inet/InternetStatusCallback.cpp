#include "inet/InternetStatusCallback.h"

#include "foundation/LastError.h"
#include "inet/InternetSession.h"

#include <algorithm>

CInternetStatusCallback::CInternetStatusCallback() = default;

void CInternetStatusCallback::Reset()
{
    m_handle = nullptr;
    m_completed = false;
    m_result = S_OK;
    m_completionCount = 0;
    m_redirectCount = 0;
}

HRESULT CInternetStatusCallback::Wait(DWORD, bool) { return S_OK; }

void CInternetStatusCallback::OnStatus(CInternetSession* session, HINTERNET handle, DWORD status, void* information,
                                       DWORD)
{
    const auto number = [information] { return information ? *static_cast<const DWORD*>(information) : 0; };
    const bool closing = status == INTERNET_STATUS_HANDLE_CLOSING;
    if ((closing || status == INTERNET_STATUS_REQUEST_COMPLETE) && IsAbandoned(handle, closing)) {
        if (handle == m_watched.load()) m_watchedClosing = true;
        Signal();
        if (!closing) return;
    }
    switch (status) {
    case INTERNET_STATUS_RESOLVING_NAME: OnResolvingName(session, handle, information); break;
    case INTERNET_STATUS_NAME_RESOLVED: OnNameResolved(session, handle, information); break;
    case INTERNET_STATUS_CONNECTING_TO_SERVER: OnConnectingToServer(session, handle, information); break;
    case INTERNET_STATUS_CONNECTED_TO_SERVER: OnConnectedToServer(session, handle, information); break;
    case INTERNET_STATUS_SENDING_REQUEST: OnSendingRequest(session, handle); break;
    case INTERNET_STATUS_REQUEST_SENT: OnRequestSent(session, handle, number()); break;
    case INTERNET_STATUS_RECEIVING_RESPONSE: OnReceivingResponse(session, handle); break;
    case INTERNET_STATUS_RESPONSE_RECEIVED: OnResponseReceived(session, handle, number()); break;
    case INTERNET_STATUS_CLOSING_CONNECTION: OnClosingConnection(session, handle); break;
    case INTERNET_STATUS_CONNECTION_CLOSED: OnConnectionClosed(session, handle); break;
    case INTERNET_STATUS_HANDLE_CREATED: OnHandleCreated(session, handle, information); break;
    case INTERNET_STATUS_HANDLE_CLOSING: OnHandleClosing(session, handle); break;
    case INTERNET_STATUS_DETECTING_PROXY: OnDetectingProxy(session, handle); break;
    case INTERNET_STATUS_REQUEST_COMPLETE: OnRequestComplete(session, handle, information); break;
    case INTERNET_STATUS_REDIRECT:
        ++m_redirectCount;
        OnRedirect(session, handle, static_cast<const wchar_t*>(information));
        // A wait counts redirects: it must not sleep through a loop of them.
        Signal();
        break;
    case INTERNET_STATUS_INTERMEDIATE_RESPONSE: OnIntermediateResponse(session, handle); break;
    case INTERNET_STATUS_STATE_CHANGE: OnStateChange(session, handle, number()); break;
    default: break;
    }
}

void CInternetStatusCallback::OnHandleCreated(CInternetSession* session, HINTERNET, void* information)
{
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    const auto created = result ? reinterpret_cast<HINTERNET>(result->dwResult) : nullptr;
    m_handle = created;
    // Later notifications of the new handle find the session through its context value.
    if (created && session) {
        DWORD_PTR context = session->GetContextValue();
        ::InternetSetOptionW(created, INTERNET_OPTION_CONTEXT_VALUE, &context, sizeof(context));
    }
    Complete(S_OK);
}

void CInternetStatusCallback::OnRequestComplete(CInternetSession*, HINTERNET, void* information)
{
    const auto* result = static_cast<const INTERNET_ASYNC_RESULT*>(information);
    // A refused connection or a failed read completes too: its error is the operation's result.
    Complete(!result || result->dwResult ? S_OK : FailureFromWin32(result->dwError));
}

void CInternetStatusCallback::OnHandleClosing(CInternetSession*, HINTERNET) {}

bool CInternetStatusCallback::IsAbandoned(HINTERNET handle, bool closing)
{
    if (!handle) return false;
    CAutoLock<CAutoCriticalSection> lock(m_abandonedLock);
    const auto it = std::find(m_abandoned.begin(), m_abandoned.end(), handle);
    if (it == m_abandoned.end()) return false;
    if (closing) m_abandoned.erase(it);
    return true;
}

void CInternetStatusCallback::Complete(HRESULT result)
{
    m_result = result;
    ++m_completionCount;
    m_completed = true;
    Signal();
}

void CInternetStatusCallback::Signal()
{
    ++m_signal;
    ::WakeByAddressAll(&m_signal);
}

void CInternetStatusCallback::WaitForSignal(unsigned seen, DWORD ms)
{
    static_assert(sizeof(std::atomic<unsigned>) == sizeof(unsigned));
    ::WaitOnAddress(&m_signal, &seen, sizeof(seen), ms);
}

void CInternetStatusCallback::WatchClosing(HINTERNET handle)
{
    {
        CAutoLock<CAutoCriticalSection> lock(m_abandonedLock);
        m_abandoned.push_back(handle);
    }
    m_watchedClosing = false;
    m_watched = handle;
}

bool CInternetStatusCallback::WaitForCompletions(unsigned count, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const unsigned seen = m_signal.load();
        if (m_completionCount.load() >= count) return true;
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        WaitForSignal(seen, timeoutMs - spent);
    }
}

bool CInternetStatusCallback::WaitSettled(DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        const unsigned seen = m_signal.load();
        if (m_completed.load() || m_watchedClosing.load()) return true;
        const DWORD spent = ::GetTickCount() - start;
        if (spent >= timeoutMs) return false;
        WaitForSignal(seen, timeoutMs - spent);
    }
}
