#include "inet/HttpRequestContext.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "ids/inet.h"
#include "inet/Charset.h"
#include "inet/FormData.h"
#include "inet/HttpRequestUrl.h"
#include "inet/InternetException.h"
#include "inet/PercentEncoding.h"

#include <algorithm>
#include <cwchar>

namespace {

constexpr DWORD kProgressMaxBeforeLength = 204800;

void RaiseIfFailed(UINT id, HRESULT hr)
{
    if (FAILED(hr)) RaiseInternetError(id, hr);
}

// A redirect loop that was given up has a message of its own.
void RaiseIfSendFailed(HRESULT hr)
{
    RaiseIfFailed(hr == CInternetStatusCallbackBS::kTooManyRedirects ? IDS_INET_TOO_MANY_REDIRECTS
                                                                     : IDS_INET_HTTP_REQUEST_FAILED,
                  hr);
}

bool IsHttps(const std::wstring& scheme) { return _wcsicmp(scheme.c_str(), L"https:") == 0; }

// A header value without its line breaks: they would start header lines of their own.
std::wstring OneLine(const std::wstring& value)
{
    std::wstring line;
    for (const wchar_t c : value)
        if (c != L'\r' && c != L'\n' && c != L'\0') line += c;
    return line;
}

// C0 controls and DEL: WinINet sends them as they stand, so a CR LF starts a header line.
bool HasControl(const std::wstring& text)
{
    return std::any_of(text.begin(), text.end(), [](wchar_t c) { return c < 0x20 || c == 0x7F; });
}

void RefuseControls(UINT id, const std::wstring& text)
{
    if (HasControl(text)) throw my::CException(id, PercentEncode(text));
}

std::wstring ComposeHeaders(const std::string& body, const std::wstring& charset, const std::wstring& referrer)
{
    std::wstring headers;
    if (!body.empty()) {
        headers = L"Content-Type: application/x-www-form-urlencoded";
        if (!charset.empty()) headers += L";charset=" + OneLine(charset);
        headers += L"\r\nContent-Length: " + std::to_wstring(body.size()) + L"\r\n";
    }
    if (!referrer.empty()) headers += L"Referer: " + OneLine(referrer) + L"\r\n";
    return headers;
}

// The object name's bytes in the code page, each byte percent-encoded as a character of its own.
bool EncodeObjectName(std::wstring& objectName, UINT codePage)
{
    std::string bytes;
    if (!WideToMultiByte(bytes, objectName, codePage)) return false;
    std::wstring widened;
    for (const char byte : bytes) widened += static_cast<wchar_t>(static_cast<unsigned char>(byte));
    objectName = PercentEncode(widened);
    return true;
}

} // namespace

void CHttpRequestContext::RunRequest(const CHttpRequestUrl& target, IBindStatusCallback* progress)
{
    m_err = CSimpleErr();
    m_callback.SetBindStatusCallback(progress);
    m_callback.SetTimeout(m_waitTimeout);
    m_callback.SetProgressMax(kProgressMaxBeforeLength);

    const UINT codePage = m_charset.empty() ? 0 : CharsetToCodePage(m_charset.c_str());
    std::string body;
    // A form that cannot be converted into the charset is refused, never sent empty.
    if (!target.m_params.empty())
        RaiseIfFailed(IDS_INET_HTTP_REQUEST_FAILED, FormEncode(target.m_params, body, codePage));
    std::wstring objectName = target.m_path + target.m_extra;
    const std::wstring headers = ComposeHeaders(body, m_charset, target.m_referrer);
    const wchar_t* verb = body.empty() ? L"GET" : L"POST";
    // Refused before a connection is made: nothing of such a request reaches the server.
    RefuseControls(IDS_INET_CONTROL_IN_TARGET, objectName);
    RefuseControls(IDS_INET_CONTROL_IN_TARGET, target.m_host);
    RefuseControls(IDS_INET_CONTROL_IN_AGENT, m_agent);
    RefuseControls(IDS_INET_CONTROL_IN_HEADER, OneLine(m_charset));
    RefuseControls(IDS_INET_CONTROL_IN_HEADER, OneLine(target.m_referrer));

    // The address's own port, else the scheme's; https also needs the secure flag.
    const bool secure = IsHttps(target.m_scheme);
    INTERNET_PORT port = secure ? INTERNET_DEFAULT_HTTPS_PORT : m_port;
    if (!target.m_port.empty()) port = static_cast<INTERNET_PORT>(_wtoi(target.m_port.c_str()));
    const DWORD flags = m_requestFlags | (secure ? INTERNET_FLAG_SECURE : 0);

    // A context used before: its request and connection go before the session that holds them.
    m_request.Close();
    m_connection.Close();
    RaiseIfFailed(IDS_INET_OPEN_SESSION_FAILED,
                  m_session.Open(m_agent.empty() ? nullptr : m_agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                 nullptr, INTERNET_FLAG_ASYNC));
    m_session.SetStatusCallback(&m_callback);
    RaiseIfFailed(IDS_INET_CONNECT_FAILED, m_connection.Connect(m_session, target.m_host.c_str(), port));

    for (bool retried = false;;) {
        RaiseIfFailed(IDS_INET_HTTP_OPEN_FAILED,
                      m_request.OpenRequest(m_connection, verb, objectName.c_str(), nullptr, nullptr, nullptr, flags));
        if (!headers.empty() && !::HttpAddRequestHeadersW(m_request.GetHandle(), headers.c_str(),
                                                          static_cast<DWORD>(headers.size()), HTTP_ADDREQ_FLAG_ADD))
            RaiseInternetError(IDS_INET_HTTP_REQUEST_FAILED, LastErrorAsHResult());
        RaiseIfSendFailed(m_request.SendRequestEx());
        if (!body.empty()) {
            DWORD written = 0;
            if (!::InternetWriteFile(m_request.GetHandle(), body.data(), static_cast<DWORD>(body.size()), &written))
                throw CInternetException(m_request.GetHandle(), 6);
        }
        RaiseIfSendFailed(m_request.EndRequest());
        std::wstring status;
        m_request.QueryInfo(HTTP_QUERY_STATUS_CODE, status);
        if (IsSuccessStatus(status)) return;
        // Wine's status when the server closed a kept-alive connection without an answer.
        if (status == L"0")
            RaiseInternetError(IDS_INET_HTTP_REQUEST_FAILED, HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_ABORTED));
        // A server that wants the path percent-encoded in the request's charset gets one more try.
        if (!retried && (status == L"400" || status == L"404") && m_request.Close() && codePage != 0) {
            retried = true;
            if (EncodeObjectName(objectName, codePage)) continue;
        }
        throw my::CException(IDS_UNKNOWN_STATUS_CODE, status);
    }
}
