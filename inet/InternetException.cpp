#include "inet/InternetException.h"

#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "ids/inet.h"

namespace {

InternetErrorIdList MakeIdList()
{
    return {{0, IDS_INET_SUCCESS},
            {1, IDS_INET_SET_OPTION_FAILED},
            {2, IDS_INET_QUERY_OPTION_FAILED},
            {3, IDS_INET_OPEN_SESSION_FAILED},
            {4, IDS_INET_CONNECT_FAILED},
            {5, IDS_INET_READ_FAILED},
            {6, IDS_INET_WRITE_FAILED},
            {7, IDS_INET_GET_LENGTH_FAILED},
            {8, IDS_INET_HTTP_OPEN_FAILED},
            {9, IDS_INET_HTTP_REQUEST_FAILED},
            {10, IDS_INET_QUERY_INFO_FAILED},
            {11, IDS_INET_UNKNOWN_RESPONSE},
            {12, IDS_INET_OPEN_WRITE_FILE_FAILED},
            {13, IDS_INET_CLOSE_HANDLE_FAILED},
            {14, IDS_INET_SET_CALLBACK_FAILED},
            {15, IDS_INET_TERMINATED_BY_USER}};
}

// Built before main runs, read-only afterwards.
const InternetErrorIdList g_internetErrorIds = MakeIdList();

bool IsMissingText(const std::wstring& text) { return text.rfind(L"Unknown HRESULT: ", 0) == 0; }

} // namespace

const InternetErrorIdList& GetInternetErrorIdList() { return g_internetErrorIds; }

InternetErrorIdList::const_iterator FindInternetErrorId(DWORD code)
{
    for (auto it = g_internetErrorIds.begin(); it != g_internetErrorIds.end(); ++it)
        if (it->first == code) return it;
    return g_internetErrorIds.end();
}

UINT GetInternetErrorId(DWORD code)
{
    const auto it = FindInternetErrorId(code);
    return it == g_internetErrorIds.end() ? IDS_INET_UNKNOWN_RESPONSE : it->second;
}

// Keeps 0 as 0: a record of "no error" reads as success. Not for a call known to have failed.
HRESULT InternetErrorToHResult(DWORD errorNumber) { return HResultFromWin32KeepingZero(errorNumber); }

std::wstring GetNetMessage(HRESULT hr)
{
    std::wstring text;
    // Loaded for each message and never freed: the module stays mapped for later messages.
    FormatHResultMessage(text, hr, ::LoadLibraryW(L"netmsg.dll"));
    if (!IsMissingText(text)) return text;
    // WinINet's texts (120xx) live in wininet.dll's message table; Wine has no netmsg.dll at all.
    // The table is keyed by the bare error number.
    const HMODULE wininet = ::GetModuleHandleW(L"wininet.dll");
    if (wininet && HRESULT_FACILITY(hr) == FACILITY_WIN32) {
        std::wstring own;
        FormatHResultMessage(own, HRESULT_CODE(hr), wininet);
        if (!IsMissingText(own)) return own;
    }
    // Raised by the library itself where it follows redirects; Wine's wininet.dll, which never
    // raises it, has no text for it.
    if (hr == HRESULT_FROM_WIN32(ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR)) return LoadResString(IDS_INET_HTTPS_TO_HTTP);
    return text;
}

CInternetException::CInternetException(HINTERNET handle, DWORD code) : m_handle(handle), m_clientCode(code)
{
    Build(::GetLastError());
}

CInternetException::CInternetException(HINTERNET handle, DWORD code, DWORD errorNumber)
    : m_handle(handle), m_clientCode(code)
{
    Build(errorNumber);
}

void CInternetException::Build(DWORD errorNumber)
{
    if (m_clientCode == 0) {
        m_id = 0;
        m_code = 0;
        m_message.clear();
        return;
    }
    m_errorNumber = errorNumber;
    DWORD length = 0;
    ::InternetGetLastResponseInfoW(&m_responseErrorNumber, nullptr, &length);
    const std::wstring text = GetNetMessage(InternetErrorToHResult(errorNumber));
    m_id = GetInternetErrorId(m_clientCode);
    m_code = 0;
    SetMessage(m_id, &text);
}
