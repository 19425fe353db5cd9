#include "inet/HttpRequestContext.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/Wine.h"
#include "ids/inet.h"
#include "inet/Charset.h"
#include "inet/FormData.h"
#include "inet/HttpRequestUrl.h"
#include "inet/InternetException.h"
#include "inet/PercentEncoding.h"
#include "inet/UrlText.h"

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
bool IsHttpScheme(const std::wstring& scheme) { return IsHttps(scheme) || _wcsicmp(scheme.c_str(), L"http:") == 0; }

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

// The redirects WinINet follows on Windows.
bool IsRedirectStatus(const std::wstring& status)
{
    return status == L"301" || status == L"302" || status == L"303" || status == L"307" || status == L"308";
}

bool DropsForm(const std::wstring& status) { return status == L"301" || status == L"302" || status == L"303"; }

} // namespace

// What is sent; a redirect by 301, 302 or 303 goes on as a GET without the form.
struct CHttpRequestContext::CMessage {
    const wchar_t* verb = L"GET";
    std::wstring headers;
    std::string body;
};

// Where one exchange goes, checked before anything of it is opened.
struct CHttpRequestContext::CHop {
    std::wstring host;
    INTERNET_PORT port;
    bool secure;
    // The path and query: a request target never carries the fragment (RFC 9110 section 7.1).
    std::wstring objectName;
};

CHttpRequestContext::CHop CHttpRequestContext::CheckedHop(const CUrlComponents& address) const
{
    CHop hop;
    hop.host = address.m_host;
    const std::wstring target = address.m_path + address.m_extra;
    hop.objectName = target.substr(0, target.find(L'#'));
    RefuseControls(IDS_INET_CONTROL_IN_TARGET, hop.objectName);
    RefuseControls(IDS_INET_CONTROL_IN_TARGET, hop.host);
    // The address's own port, else the scheme's; https also needs the secure flag. WinINet would
    // cut a port to 16 bits and take 0 for http's port.
    hop.secure = IsHttps(address.m_scheme);
    hop.port = hop.secure ? INTERNET_DEFAULT_HTTPS_PORT : m_port;
    if (!address.m_port.empty()) {
        if (!IsPortText(address.m_port)) throw my::CException(IDS_INET_BAD_PORT, PercentEncode(address.m_port));
        hop.port = static_cast<INTERNET_PORT>(_wtoi(address.m_port.c_str()));
    }
    return hop;
}

void CHttpRequestContext::RunRequest(const CHttpRequestUrl& target, IBindStatusCallback* progress)
{
    m_err = CSimpleErr();
    m_callback.BeginRequest();
    m_callback.SetBindStatusCallback(progress);
    m_callback.SetTimeout(m_waitTimeout);
    m_callback.SetProgressMax(kProgressMaxBeforeLength);

    const UINT codePage = m_charset.empty() ? 0 : CharsetToCodePage(m_charset.c_str());
    CMessage message;
    // A form that cannot be converted into the charset is refused, never sent empty.
    if (!target.m_params.empty())
        RaiseIfFailed(IDS_INET_HTTP_REQUEST_FAILED, FormEncode(target.m_params, message.body, codePage));
    message.headers = ComposeHeaders(message.body, m_charset, target.m_referrer);
    message.verb = message.body.empty() ? L"GET" : L"POST";
    // Refused before a connection is made: nothing of such a request reaches the server.
    CHop hop = CheckedHop(target);
    RefuseControls(IDS_INET_CONTROL_IN_AGENT, m_agent);
    RefuseControls(IDS_INET_CONTROL_IN_HEADER, OneLine(m_charset));
    RefuseControls(IDS_INET_CONTROL_IN_HEADER, OneLine(target.m_referrer));

    // A context used before: its request and connection go before the session that holds them.
    m_request.Close();
    m_connection.Close();
    RaiseIfFailed(IDS_INET_OPEN_SESSION_FAILED,
                  m_session.Open(m_agent.empty() ? nullptr : m_agent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr,
                                 nullptr, INTERNET_FLAG_ASYNC));
    m_session.SetStatusCallback(&m_callback);

    // Wine's WinINet follows redirects without end, refuses a limit, and goes on after every handle
    // is closed: there the redirects are followed here. A caller that wants none gets none.
    const bool followHere = RunningUnderWine() && !(m_requestFlags & INTERNET_FLAG_NO_AUTO_REDIRECT);
    CUrlComponents address = target;
    for (unsigned redirects = 0;; ++redirects) {
        const std::wstring status = Exchange(hop, message, codePage, followHere ? INTERNET_FLAG_NO_AUTO_REDIRECT : 0);
        if (IsSuccessStatus(status)) return;
        std::wstring location;
        if (!followHere || !IsRedirectStatus(status) || !QueryHeader(HTTP_QUERY_LOCATION, location))
            throw my::CException(IDS_UNKNOWN_STATUS_CODE, status);
        if (redirects == CInternetStatusCallbackBS::kMaxRedirects)
            RaiseInternetError(IDS_INET_TOO_MANY_REDIRECTS, CInternetStatusCallbackBS::kTooManyRedirects);
        // The new address gets every check the caller's own gets; only http and https are requests.
        CUrlComponents next;
        if (FAILED(next.Resolve(address, location.c_str())) || !IsHttpScheme(next.m_scheme))
            throw my::CException(IDS_INET_BAD_REDIRECT, PercentEncode(location));
        // WinINet's rule on Windows: a step from https down to http would send the request again
        // in the clear (a form, the https Referer), so it fails unless the caller allowed it.
        if (hop.secure && !IsHttps(next.m_scheme) && !(m_requestFlags & INTERNET_FLAG_IGNORE_REDIRECT_TO_HTTP))
            RaiseInternetError(IDS_INET_HTTP_REQUEST_FAILED, HRESULT_FROM_WIN32(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR));
        hop = CheckedHop(next);
        address = next;
        m_callback.OnRedirect(&m_session, m_request.GetHandle(), address.m_url.c_str());
        if (DropsForm(status) && !message.body.empty()) {
            message.body.clear();
            message.headers = ComposeHeaders(message.body, m_charset, target.m_referrer);
            message.verb = L"GET";
        }
    }
}

// One request to one address, with the path percent-encoded in the charset once more where the
// server did not find it. Returns the final status.
std::wstring CHttpRequestContext::Exchange(const CHop& hop, const CMessage& message, UINT codePage, DWORD flags)
{
    flags |= m_requestFlags | (hop.secure ? INTERNET_FLAG_SECURE : 0);
    std::wstring objectName = hop.objectName;
    // The request goes before the connection that holds it.
    m_request.Close();
    RaiseIfFailed(IDS_INET_CONNECT_FAILED, m_connection.Connect(m_session, hop.host.c_str(), hop.port));
    for (bool retried = false;;) {
        RaiseIfFailed(IDS_INET_HTTP_OPEN_FAILED, m_request.OpenRequest(m_connection, message.verb, objectName.c_str(),
                                                                       nullptr, nullptr, nullptr, flags));
        const std::wstring& headers = message.headers;
        if (!headers.empty() && !::HttpAddRequestHeadersW(m_request.GetHandle(), headers.c_str(),
                                                          static_cast<DWORD>(headers.size()), HTTP_ADDREQ_FLAG_ADD))
            RaiseInternetError(IDS_INET_HTTP_REQUEST_FAILED, LastErrorAsHResult());
        RaiseIfSendFailed(m_request.SendRequestEx());
        if (!message.body.empty()) {
            DWORD written = 0;
            if (!::InternetWriteFile(m_request.GetHandle(), message.body.data(),
                                     static_cast<DWORD>(message.body.size()), &written))
                throw CInternetException(m_request.GetHandle(), 6);
        }
        RaiseIfSendFailed(m_request.EndRequest());
        std::wstring status;
        m_request.QueryInfo(HTTP_QUERY_STATUS_CODE, status);
        if (IsSuccessStatus(status)) return status;
        // Wine's status when the server closed a kept-alive connection without an answer.
        if (status == L"0")
            RaiseInternetError(IDS_INET_HTTP_REQUEST_FAILED, HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_ABORTED));
        // A server that wants the path percent-encoded in the request's charset gets one more try.
        if (!retried && (status == L"400" || status == L"404") && m_request.Close() && codePage != 0) {
            retried = true;
            if (EncodeObjectName(objectName, codePage)) continue;
        }
        return status;
    }
}
