#include "inet/InternetSession.h"

#include "inet/InternetException.h"
#include "inet/InternetStatusCallback.h"

#include <shlwapi.h>

#include <string>

namespace {

struct CNotification {
    HINTERNET handle;
    DWORD status;
    void* information;
    DWORD length;
};

void Notify(const CInternetHandle& owner, void* argument)
{
    const auto& n = *static_cast<const CNotification*>(argument);
    CInternetSession* session = owner.GetSession();
    CInternetStatusCallback* callback = session ? session->GetStatusCallback() : nullptr;
    if (callback) callback->OnStatus(session, n.handle, n.status, n.information, n.length);
}

// Every context value is the key of a CInternetHandle: the session itself, or a connection or
// request whose session is reached through it. Exceptions stop here, on WinINet's thread.
void CALLBACK StatusThunk(HINTERNET handle, DWORD_PTR context, DWORD status, LPVOID information, DWORD length)
{
    CNotification notification{handle, status, information, length};
    CInternetHandle::WithLiveHandle(context, Notify, &notification);
}

} // namespace

std::wstring GetProgramBaseName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    ::PathRemoveExtensionW(path);
    return ::PathFindFileNameW(path);
}

CInternetSession::CInternetSession(const wchar_t* agent, DWORD accessType, const wchar_t* proxy,
                                   const wchar_t* proxyBypass, DWORD flags)
{
    if (FAILED(Open(agent, accessType, proxy, proxyBypass, flags))) throw CInternetException(m_handle, 3);
}

CInternetSession::~CInternetSession()
{
    ResetCallback();
    // Unhooked first: a closing notification that came after this object is gone would find
    // nothing but freed memory behind the session handle's context value.
    if (m_handle) ::InternetSetStatusCallbackW(m_handle, nullptr);
    Close();
}

HRESULT CInternetSession::Open(const wchar_t* agent, DWORD accessType, const wchar_t* proxy, const wchar_t* proxyBypass,
                               DWORD flags)
{
    if (!Close()) return E_FAIL;
    const std::wstring baseName = agent ? std::wstring() : GetProgramBaseName();
    m_flags = flags;
    m_handle = ::InternetOpenW(agent ? agent : baseName.c_str(), accessType, proxy, proxyBypass, flags);
    return m_handle ? S_OK : E_FAIL;
}

bool CInternetSession::Close() { return CloseWith(this); }

void CInternetSession::ResetCallback()
{
    if (m_callback) m_callback->Reset();
}

void CInternetSession::SetStatusCallback(CInternetStatusCallback* callback)
{
    m_callback = callback;
    // Pointer-sized on x64: a 4-byte value is refused.
    DWORD_PTR context = GetContextValue();
    if (!::InternetSetOptionW(m_handle, INTERNET_OPTION_CONTEXT_VALUE, &context, sizeof(context)))
        throw CInternetException(m_handle, 1);
    const INTERNET_STATUS_CALLBACK previous = ::InternetSetStatusCallbackW(m_handle, callback ? StatusThunk : nullptr);
    if (previous == INTERNET_INVALID_STATUS_CALLBACK) throw CInternetException(m_handle, 14);
}
