#include "inet/HttpConnection.h"

#include "inet/InternetException.h"
#include "inet/InternetSession.h"
#include "inet/InternetStatusCallback.h"

#include <urlmon.h>

CInternetConnection::~CInternetConnection() { Close(); }

HRESULT CInternetConnection::Connect(CInternetSession& session, const wchar_t* serverName, INTERNET_PORT port)
{
    if (!Close()) return E_FAIL;
    m_session = &session;
    session.ResetCallback();
    m_handle = ::InternetConnectW(session.GetHandle(), serverName, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0,
                                  GetContextValue());
    if (m_handle) return S_OK;
    const DWORD error = ::GetLastError();
    if (!IsPending(&session, error)) throw CInternetException(m_handle, 4, error);
    const HRESULT hr = WaitPending(&session, BINDSTATUS_CONNECTING, true);
    if (FAILED(hr)) return hr;
    m_handle = CallbackOf(&session)->GetHandle();
    return S_OK;
}

bool CInternetConnection::Close()
{
    if (!m_session) return true;
    return CloseWith(m_session);
}
