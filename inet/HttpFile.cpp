#include "inet/HttpFile.h"

#include "foundation/LastError.h"
#include "foundation/Wine.h"
#include "inet/HttpConnection.h"
#include "inet/InternetException.h"
#include "inet/InternetSession.h"
#include "inet/InternetStatusCallback.h"

#include <urlmon.h>

namespace {

// How long a redirected request waits for the further completions Wine sends.
constexpr DWORD kExtraCompletionWait = 300;

} // namespace

CInternetFile::~CInternetFile() { Close(); }

CInternetSession* CInternetFile::GetSession() const { return m_connection ? m_connection->GetSession() : nullptr; }

bool CInternetFile::Close()
{
    if (!CloseWith(GetSession())) return false;
    m_connection = nullptr;
    return true;
}

CHttpFile::CHttpFile(CHttpConnection& connection, const wchar_t* verb, const wchar_t* objectName,
                     const wchar_t* version, const wchar_t* referrer, const wchar_t** acceptTypes, DWORD flags)
{
    OpenRequest(connection, verb, objectName, version, referrer, acceptTypes, flags);
}

HRESULT CHttpFile::OpenRequest(CHttpConnection& connection, const wchar_t* verb, const wchar_t* objectName,
                               const wchar_t* version, const wchar_t* referrer, const wchar_t** acceptTypes,
                               DWORD flags)
{
    if (!Close()) return E_FAIL;
    m_connection = &connection;
    m_unsettled = false;
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    static const wchar_t* anyType[] = {L"*/*", nullptr};
    m_handle = ::HttpOpenRequestW(connection.GetHandle(), verb, objectName, version, referrer,
                                  acceptTypes ? acceptTypes : anyType, flags, GetContextValue());
    if (m_handle) return S_OK;
    const DWORD error = ::GetLastError();
    if (!IsPending(session, error)) throw CInternetException(m_handle, 8, error);
    const HRESULT hr = WaitPending(session, BINDSTATUS_CONNECTING, true);
    if (FAILED(hr)) return hr;
    m_handle = CallbackOf(session)->GetHandle();
    return S_OK;
}

HRESULT CHttpFile::SendRequest(const wchar_t* headers, DWORD headersLength, void* optional, DWORD optionalLength)
{
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    if (::HttpSendRequestW(m_handle, headers, headersLength, optional, optionalLength)) return S_OK;
    const DWORD error = ::GetLastError();
    // A plain send does not wait: its completion is awaited by whatever comes next.
    if (IsPending(session, error)) return S_OK;
    throw CInternetException(m_handle, 9, error);
}

HRESULT CHttpFile::SendForm(const std::string& body, const std::wstring& charset)
{
    std::wstring header = L"Content-Type: application/x-www-form-urlencoded";
    if (!charset.empty()) header += L";charset=" + charset;
    return SendRequest(header.c_str(), static_cast<DWORD>(header.size()), const_cast<char*>(body.data()),
                       static_cast<DWORD>(body.size()));
}

HRESULT CHttpFile::SendForm(const std::wstring& body, const std::wstring& charset)
{
    std::string bytes;
    if (!body.empty()) {
        const int size = ::WideCharToMultiByte(CP_THREAD_ACP, 0, body.data(), static_cast<int>(body.size()), nullptr, 0,
                                               nullptr, nullptr);
        if (size > 0) {
            bytes.resize(static_cast<size_t>(size));
            if (::WideCharToMultiByte(CP_THREAD_ACP, 0, body.data(), static_cast<int>(body.size()), bytes.data(), size,
                                      nullptr, nullptr) != size)
                bytes.clear();
        }
    }
    return SendForm(bytes, charset);
}

HRESULT CHttpFile::SendRequestEx()
{
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    if (::HttpSendRequestExW(m_handle, nullptr, nullptr, 0, GetContextValue())) return S_OK;
    const DWORD error = ::GetLastError();
    if (IsPending(session, error)) return WaitPending(session, BINDSTATUS_CONNECTING, true);
    throw CInternetException(m_handle, 9, error);
}

DWORD CHttpFile::Write(const std::string& data)
{
    DWORD written = 0;
    if (!::InternetWriteFile(m_handle, data.data(), static_cast<DWORD>(data.size()), &written)) ThrowWriteError();
    return written;
}

HRESULT CHttpFile::EndRequest()
{
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    if (::HttpEndRequestW(m_handle, nullptr, HSR_INITIATE, GetContextValue())) return S_OK;
    const DWORD error = ::GetLastError();
    if (!IsPending(session, error)) throw CInternetException(m_handle, 9, error);
    const HRESULT hr = WaitPending(session, BINDSTATUS_CONNECTING, true);
    if (FAILED(hr)) return hr;
    // Wine completes once more for every redirect it followed: those completions are awaited
    // here, so that the next read does not take one of them for its own. Windows completes once
    // and must not pay the wait.
    CInternetStatusCallback* callback = CallbackOf(session);
    const unsigned redirects = callback->GetRedirectCount();
    if (redirects && RunningUnderWine() && callback->WaitForCompletions(1 + redirects, kExtraCompletionWait))
        return callback->GetCompletionResult();
    return hr;
}

void CHttpFile::QueryInfo(DWORD level, std::wstring& text, DWORD* index)
{
    DWORD bytes = 0;
    // The size query must not move the index on.
    DWORD sizeIndex = index ? *index : 0;
    if (!::HttpQueryInfoW(m_handle, level, nullptr, &bytes, index ? &sizeIndex : nullptr) &&
        ::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        ThrowQueryInfoError();
    text.assign((bytes + 1) / 2, L'\0');
    if (!::HttpQueryInfoW(m_handle, level, text.data(), &bytes, index)) ThrowQueryInfoError();
    text.resize(std::min<size_t>(text.size(), (bytes + 1) / 2));
}

void CHttpFile::QueryContentLength(DWORD& length)
{
    DWORD size = sizeof(length);
    if (!::HttpQueryInfoW(m_handle, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &length, &size, nullptr))
        ThrowQueryInfoError();
}

void CHttpFile::QueryLastModified(SYSTEMTIME& time)
{
    DWORD size = sizeof(time);
    if (!::HttpQueryInfoW(m_handle, HTTP_QUERY_LAST_MODIFIED | HTTP_QUERY_FLAG_SYSTEMTIME, &time, &size, nullptr))
        ThrowQueryInfoError();
}

HRESULT CInternetFile::CompleteRead(CInternetSession* session, DWORD error)
{
    if (!session || !session->IsAsync()) throw CInternetException(m_handle, 5, error);
    if (error == ERROR_IO_PENDING) return WaitPending(session, BINDSTATUS_DOWNLOADINGDATA, true);
    return FailureFromWin32(error);
}

HRESULT CHttpFile::ReadEx(INTERNET_BUFFERSA& buffers)
{
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    if (::InternetReadFileExA(m_handle, &buffers, 0, GetContextValue())) return S_OK;
    return CompleteRead(session, ::GetLastError());
}

// Reads as much as has arrived, up to the buffer's length. S_OK: the length holds the count read
// (0: nothing had arrived, or the body has ended). S_FALSE: the read pended until data came and
// read nothing (Wine leaves the length as it was): read again.
HRESULT CHttpFile::ReadNoWait(INTERNET_BUFFERSA& buffers)
{
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    if (::InternetReadFileExA(m_handle, &buffers, IRF_NO_WAIT, GetContextValue())) return S_OK;
    const DWORD error = ::GetLastError();
    const HRESULT hr = CompleteRead(session, error);
    if (hr != S_OK || error != ERROR_IO_PENDING || !RunningUnderWine()) return hr;
    buffers.dwBufferLength = 0;
    return S_FALSE;
}

// S_OK with the count of bytes that can be read at once (0: the body has ended); S_FALSE when the
// query pended until data came: asked again, it answers at once. `available` must outlive a query
// that is given up.
HRESULT CHttpFile::QueryDataAvailable(DWORD& available)
{
    CInternetSession* session = GetSession();
    if (session) session->ResetCallback();
    available = 0;
    if (::InternetQueryDataAvailable(m_handle, &available, 0, GetContextValue())) return S_OK;
    const DWORD error = ::GetLastError();
    const HRESULT hr = CompleteRead(session, error);
    return hr == S_OK && error == ERROR_IO_PENDING ? S_FALSE : hr;
}

void CHttpFile::ReadAll(std::string& data)
{
    data.clear();
    size_t used = 0;
    for (;;) {
        data.resize(used + 1024);
        DWORD read = 0;
        if (!::InternetReadFile(m_handle, data.data() + used, 1024, &read)) ThrowReadError();
        if (read == 0) break;
        used += read;
    }
    data.resize(used);
}

void CHttpFile::ThrowSetOptionError() { throw CInternetException(m_handle, 1); }
void CHttpFile::ThrowReadError() { throw CInternetException(m_handle, 5); }
void CHttpFile::ThrowWriteError() { throw CInternetException(m_handle, 6); }
void CHttpFile::ThrowQueryInfoError() { throw CInternetException(m_handle, 10); }
