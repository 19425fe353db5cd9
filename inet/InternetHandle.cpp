#include "inet/InternetHandle.h"

#include "foundation/CriticalSection.h"
#include "inet/InternetSession.h"
#include "inet/InternetStatusCallbackBS.h"

#include <unordered_map>

namespace {

// Live handle objects by key; notifications run under the lock, so an object waits in its
// destructor until a notification that found it has returned.
struct CHandleRegistry {
    CAutoCriticalSection lock;
    std::unordered_map<DWORD_PTR, const CInternetHandle*> handles;
    DWORD_PTR next = 1;
};

CHandleRegistry& Registry()
{
    // Never destroyed: WinINet's threads may report after static destruction has begun.
    static CHandleRegistry* registry = new CHandleRegistry;
    return *registry;
}

DWORD_PTR Register(const CInternetHandle* handle)
{
    CHandleRegistry& registry = Registry();
    const CAutoLock<CAutoCriticalSection> lock(registry.lock);
    const DWORD_PTR key = registry.next++;
    registry.handles[key] = handle;
    return key;
}

} // namespace

CInternetHandle::CInternetHandle() : m_key(Register(this)) {}

CInternetHandle::~CInternetHandle()
{
    if (m_handle && ::InternetCloseHandle(m_handle)) m_handle = nullptr;
    CHandleRegistry& registry = Registry();
    const CAutoLock<CAutoCriticalSection> lock(registry.lock);
    registry.handles.erase(m_key);
}

void CInternetHandle::WithLiveHandle(DWORD_PTR key, void (*notify)(const CInternetHandle&, void*), void* argument)
{
    CHandleRegistry& registry = Registry();
    const CAutoLock<CAutoCriticalSection> lock(registry.lock);
    const auto it = registry.handles.find(key);
    if (it != registry.handles.end()) {
        try {
            notify(*it->second, argument);
        } catch (...) {}
    }
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
        // The caller's time-out is spent already: a short settle, then the buffers stay given up.
        constexpr DWORD kSettleTime = 500;
        m_unsettled = !callback->WaitSettled(kSettleTime);
    }
    return hr;
}
