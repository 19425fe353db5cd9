#pragma once
// Receives WinINet's status notifications and turns asynchronous operations into waits: the
// handle of the last handle-created notification, the completion flag and the completion's result.
#include "foundation/CriticalSection.h"

#include <windows.h>

#include <wininet.h>

#include <atomic>
#include <vector>

class CInternetSession;

class CInternetStatusCallback {
public:
    CInternetStatusCallback();
    CInternetStatusCallback(const CInternetStatusCallback&) = delete;
    CInternetStatusCallback& operator=(const CInternetStatusCallback&) = delete;
    virtual ~CInternetStatusCallback() = default;

    virtual void Reset();
    virtual HRESULT Wait(DWORD status, bool report);
    virtual void OnStatus(CInternetSession* session, HINTERNET handle, DWORD status, void* information, DWORD length);

    virtual void OnClosingConnection(CInternetSession*, HINTERNET) {}
    virtual void OnConnectedToServer(CInternetSession*, HINTERNET, void*) {}
    virtual void OnConnectingToServer(CInternetSession*, HINTERNET, void*) {}
    virtual void OnConnectionClosed(CInternetSession*, HINTERNET) {}
    virtual void OnDetectingProxy(CInternetSession*, HINTERNET) {}
    virtual void OnHandleClosing(CInternetSession* session, HINTERNET handle);
    virtual void OnHandleCreated(CInternetSession* session, HINTERNET handle, void* information);
    virtual void OnIntermediateResponse(CInternetSession*, HINTERNET) {}
    virtual void OnNameResolved(CInternetSession*, HINTERNET, void*) {}
    virtual void OnReceivingResponse(CInternetSession*, HINTERNET) {}
    virtual void OnRedirect(CInternetSession*, HINTERNET, const wchar_t*) {}
    virtual void OnRequestComplete(CInternetSession* session, HINTERNET handle, void* information);
    virtual void OnRequestSent(CInternetSession*, HINTERNET, DWORD) {}
    virtual void OnResolvingName(CInternetSession*, HINTERNET, void*) {}
    virtual void OnResponseReceived(CInternetSession*, HINTERNET, DWORD) {}
    virtual void OnSendingRequest(CInternetSession*, HINTERNET) {}
    virtual void OnStateChange(CInternetSession*, HINTERNET, DWORD) {}

    HINTERNET GetHandle() const { return m_handle.load(); }
    bool IsCompleted() const { return m_completed.load(); }
    // S_OK, or the failure the completion reported (INTERNET_ASYNC_RESULT with a zero result).
    HRESULT GetCompletionResult() const { return m_result.load(); }

    // A pending operation is given up by closing its handle: WinINet keeps using the caller's
    // buffers until the operation completes or the handle's closing is reported. Its late
    // completion settles it and is never taken for the completion of a later operation.
    void WatchClosing(HINTERNET handle);
    bool WaitSettled(DWORD timeoutMs);

    // Completions and redirects since the last Reset. Wine completes an operation that followed
    // redirects once more for each redirect; a later operation must not take those for its own.
    unsigned GetCompletionCount() const { return m_completionCount.load(); }
    unsigned GetRedirectCount() const { return m_redirectCount.load(); }
    bool WaitForCompletions(unsigned count, DWORD timeoutMs);

protected:
    void Complete(HRESULT result);
    // Waits at most `ms` for a signal after `seen` (the count read before the last check).
    // Address waits: under Wine, an event costs a round trip to the server at every read.
    unsigned GetSignalCount() const { return m_signal.load(); }
    void WaitForSignal(unsigned seen, DWORD ms);

private:
    std::atomic<HINTERNET> m_handle{nullptr};
    std::atomic<bool> m_completed{false};
    std::atomic<HRESULT> m_result{S_OK};
    std::atomic<HINTERNET> m_watched{nullptr};
    std::atomic<bool> m_watchedClosing{false};
    // Handles given up and not yet closed by WinINet; a closed handle's value may come again.
    CAutoCriticalSection m_abandonedLock;
    std::vector<HINTERNET> m_abandoned;
    std::atomic<unsigned> m_completionCount{0};
    std::atomic<unsigned> m_redirectCount{0};
    std::atomic<unsigned> m_signal{0};

    void Signal();
    // True when `handle` was given up; its closing also ends the record.
    bool IsAbandoned(HINTERNET handle, bool closing);
};
