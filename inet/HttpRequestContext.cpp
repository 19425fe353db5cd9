#include "inet/HttpRequestContext.h"

#include "foundation/Exception.h"
#include "ids/inet.h"
#include "inet/InternetException.h"

#include <boost/regex.hpp>

void RaiseInternetError(UINT id, HRESULT hr)
{
    if (hr == E_ABORT) throw my::CException(IDS_DOWNLOAD_FAILED, hr);
    const std::wstring text = GetNetMessage(hr);
    CSimpleErr err;
    err.m_id = id;
    err.m_code = static_cast<UINT>(hr);
    err.SetMessage(id, &text);
    throw my::CException(err);
}

bool CHttpRequestContext::IsSuccessStatus(const std::wstring& status)
{
    return status == L"200" || status == L"201" || status == L"202" || status == L"203";
}

void CHttpRequestContext::CheckStatus()
{
    std::wstring status;
    m_request.QueryInfo(HTTP_QUERY_STATUS_CODE, status);
    if (!IsSuccessStatus(status)) throw my::CException(IDS_UNKNOWN_STATUS_CODE, status);
}

void CHttpRequestContext::Request(const CHttpRequestUrl& target, IBindStatusCallback* progress)
{
    Guarded([&] { RunRequest(target, progress); });
}

DWORD CHttpRequestContext::GetContentLength()
{
    m_err = CSimpleErr();
    DWORD length = 0;
    m_request.QueryContentLength(length);
    return length;
}

void CHttpRequestContext::GetLastModified(SYSTEMTIME& time)
{
    m_err = CSimpleErr();
    time = SYSTEMTIME{};
    m_request.QueryLastModified(time);
}

// The parameter name in any letter case; a quoted name may hold ';' and backslash escapes.
void CHttpRequestContext::GetContentDispositionFileName(std::wstring& name)
{
    m_err = CSimpleErr();
    name.clear();
    std::wstring text;
    m_request.QueryInfo(HTTP_QUERY_CONTENT_DISPOSITION, text);
    static const boost::wregex quoted(LR"re((?:^|[;\s])filename\s*=\s*"((?:[^"\\]|\\.)*)")re", boost::regex::icase);
    static const boost::wregex plain(LR"re((?:^|[;\s])filename\s*=\s*([^;]*))re", boost::regex::icase);
    boost::wsmatch match;
    if (boost::regex_search(text, match, quoted)) {
        const std::wstring raw = match[1].str();
        for (size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] == L'\\' && i + 1 < raw.size()) ++i;
            name += raw[i];
        }
    } else if (boost::regex_search(text, match, plain)) {
        name = match[1].str();
        while (!name.empty() && (name.back() == L' ' || name.back() == L'\t')) name.pop_back();
    }
    if (name.empty()) m_err.Set(IDS_INET_QUERY_INFO_FAILED, std::wstring());
}
