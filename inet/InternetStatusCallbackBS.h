#pragma once
// The status callback the request context uses: waits bounded by the time since the last
// notification, counts received bytes, records redirects and reports progress to a caller's
// IBindStatusCallback (which may abort by answering a failure).
#include "foundation/CriticalSection.h"
#include "inet/InternetStatusCallback.h"

#include <urlmon.h>

#include <atomic>
#include <list>
#include <string>

class CInternetStatusCallbackBS : public CInternetStatusCallback {
public:
    static constexpr DWORD kDefaultTimeout = 180000;
    // While an operation pends, progress is reported at this interval.
    static constexpr DWORD kReportInterval = 1000;
    // Wine follows redirects without end, each one fresh activity: a wait gives up after these
    // many (as browsers do), and one request adds no more than one beyond to the list.
    static constexpr unsigned kMaxRedirects = 20;
    static constexpr HRESULT kTooManyRedirects = HRESULT_FROM_WIN32(ERROR_HTTP_REDIRECT_FAILED);

    CInternetStatusCallbackBS();

    void Reset() override;
    HRESULT Wait(DWORD status, bool report) override;
    void OnStatus(CInternetSession* session, HINTERNET handle, DWORD status, void* information, DWORD length) override;
    void OnRedirect(CInternetSession* session, HINTERNET handle, const wchar_t* text) override;
    void OnResponseReceived(CInternetSession* session, HINTERNET handle, DWORD bytes) override;

    void SetBindStatusCallback(IBindStatusCallback* callback) { m_bindStatus = callback; }
    IBindStatusCallback* GetBindStatusCallback() const { return m_bindStatus; }
    void SetTimeout(DWORD ms) { m_timeout = ms; }
    DWORD GetTimeout() const { return m_timeout; }
    void SetProgressMax(DWORD max) { m_progressMax = max; }
    DWORD GetProgressMax() const { return m_progressMax; }
    void ClearProgress() { m_progress = 0; }
    DWORD GetProgress() const { return m_progress.load(); }
    // The activity time is read first: read after the clock, a notification in between would
    // make the difference wrap round to a silence of 49 days.
    DWORD GetIdleTime() const
    {
        const DWORD last = m_lastActivity.load();
        return ::GetTickCount() - last;
    }
    // The redirects of every request since construction, in order of arrival.
    std::list<std::wstring> GetRedirects() const;
    // A new request: its redirects are counted against the bound afresh; the list keeps the
    // earlier requests' ones.
    void BeginRequest();

    // OnProgress of the bind-status callback; S_FALSE without one.
    HRESULT ReportProgress(DWORD status);
    HRESULT ReportEnd();

private:
    IBindStatusCallback* m_bindStatus = nullptr;
    std::atomic<DWORD> m_lastActivity;
    std::atomic<DWORD> m_progress{0};
    DWORD m_progressMax = 0;
    DWORD m_timeout = kDefaultTimeout;
    // Appended on WinINet's threads.
    mutable CAutoCriticalSection m_redirectLock;
    std::list<std::wstring> m_redirects;
    unsigned m_requestRedirects = 0;
};
