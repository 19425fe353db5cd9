#include "inet/InternetStatusCallbackBS.h"

#include <algorithm>

CInternetStatusCallbackBS::CInternetStatusCallbackBS() : m_lastActivity(::GetTickCount()) {}

void CInternetStatusCallbackBS::Reset()
{
    CInternetStatusCallback::Reset();
    m_lastActivity = ::GetTickCount();
}

void CInternetStatusCallbackBS::OnStatus(CInternetSession* session, HINTERNET handle, DWORD status, void* information,
                                         DWORD length)
{
    m_lastActivity = ::GetTickCount();
    CInternetStatusCallback::OnStatus(session, handle, status, information, length);
}

// A loop that WinINet goes on following after the wait gave up adds no more than the 21 that
// failed; the list itself lives as long as the callback.
void CInternetStatusCallbackBS::OnRedirect(CInternetSession*, HINTERNET, const wchar_t* text)
{
    CAutoLock<CAutoCriticalSection> lock(m_redirectLock);
    if (m_requestRedirects > kMaxRedirects) return;
    ++m_requestRedirects;
    m_redirects.emplace_back(text ? text : L"");
}

void CInternetStatusCallbackBS::BeginRequest()
{
    CAutoLock<CAutoCriticalSection> lock(m_redirectLock);
    m_requestRedirects = 0;
}

void CInternetStatusCallbackBS::OnResponseReceived(CInternetSession*, HINTERNET, DWORD bytes) { m_progress += bytes; }

std::list<std::wstring> CInternetStatusCallbackBS::GetRedirects() const
{
    CAutoLock<CAutoCriticalSection> lock(m_redirectLock);
    return m_redirects;
}

// Waits for the pending operation, reporting progress once at the start and then every second.
// A server that accepts and never answers leaves WinINet waiting for good (no receive time-out
// under Wine): the wait ends with ERROR_INTERNET_TIMEOUT once nothing was heard for the time-out.
HRESULT CInternetStatusCallbackBS::Wait(DWORD status, bool report)
{
    const bool reporting = report && m_bindStatus;
    for (;;) {
        if (reporting) {
            const HRESULT hr = ReportProgress(status);
            if (FAILED(hr)) return hr;
        }
        DWORD sinceReport = 0;
        while (!IsCompleted()) {
            if (GetRedirectCount() > kMaxRedirects) return kTooManyRedirects;
            const DWORD idle = GetIdleTime();
            if (idle >= m_timeout) return HRESULT_FROM_WIN32(ERROR_INTERNET_TIMEOUT);
            if (reporting && sinceReport >= kReportInterval) break;
            // Without reports the wait sleeps until the silence could end it, not in 1 ms steps.
            const DWORD slice = reporting ? std::min<DWORD>(m_timeout - idle, kReportInterval - sinceReport)
                                          : m_timeout - idle;
            const DWORD start = ::GetTickCount();
            const unsigned seen = GetSignalCount();
            if (IsCompleted()) break;
            WaitForSignal(seen, std::max<DWORD>(slice, 1));
            sinceReport += ::GetTickCount() - start;
        }
        if (IsCompleted()) return GetCompletionResult();
    }
}

HRESULT CInternetStatusCallbackBS::ReportProgress(DWORD status)
{
    if (!m_bindStatus) return S_FALSE;
    return m_bindStatus->OnProgress(m_progress.load(), m_progressMax, status, L"");
}

HRESULT CInternetStatusCallbackBS::ReportEnd()
{
    if (!m_bindStatus) return S_FALSE;
    return m_bindStatus->OnProgress(0xFFFFFFFF, m_progressMax, BINDSTATUS_ENDDOWNLOADDATA, L"");
}
