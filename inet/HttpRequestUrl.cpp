#include "inet/HttpRequestUrl.h"

#include "foundation/NoThrow.h"
#include "inet/TextSplitting.h"

#include <shlwapi.h>

#include <tuple>

const wchar_t kParamsSeparator[] = L"::";

namespace {

const std::wstring& PathOrRoot(const std::wstring& path)
{
    static const std::wstring kRoot = L"/";
    return path.empty() ? kRoot : path;
}

} // namespace

HRESULT CHttpRequestUrl::CrackUrl(const wchar_t* text)
{
    return HResultOfCall([&]() -> HRESULT {
        std::wstring url = text ? text : L"";
        const HRESULT hr = SplitParamsFromUrl(url);
        if (FAILED(hr)) return hr;
        return Crack(url.c_str());
    });
}

HRESULT CHttpRequestUrl::CrackUrl(const CUrlComponents& base, const wchar_t* text)
{
    return HResultOfCall([&]() -> HRESULT {
        std::wstring url = text ? text : L"";
        const HRESULT hr = SplitParamsFromUrl(url);
        if (FAILED(hr)) return hr;
        return Resolve(base, url.c_str());
    });
}

HRESULT CHttpRequestUrl::SplitParamsFromUrl(std::wstring& text)
{
    const size_t at = FindParamsSeparator(text);
    if (at == std::wstring::npos) return S_OK;
    return HResultOfCall([&]() -> HRESULT {
        ParseUrlEncoded(m_params, text.substr(at + 2));
        text.resize(at);
        return S_OK;
    });
}

// An IPv6 host ("http://[::1]:8080/") holds "::" of its own: look only after it.
size_t CHttpRequestUrl::FindParamsSeparator(const std::wstring& text)
{
    size_t from = 0;
    const size_t slashes = text.find(L"//");
    if (slashes != std::wstring::npos && text.find_first_of(L"/?#") == slashes) {
        const size_t host = slashes + 2;
        const size_t hostEnd = text.find_first_of(L"/?#[", host);
        if (hostEnd != std::wstring::npos && text[hostEnd] == L'[') {
            const size_t close = text.find(L']', hostEnd);
            if (close != std::wstring::npos) from = close + 1;
        }
    }
    return text.find(kParamsSeparator, from);
}

std::wstring CHttpRequestUrl::ToText() const { return m_url + ParamsSuffix(); }

std::wstring CHttpRequestUrl::ParamsSuffix() const
{
    if (m_params.empty()) return {};
    std::wstring text = kParamsSeparator;
    FormatParameters(m_params, text);
    return text;
}

bool CHttpRequestUrl::Equals(const CHttpRequestUrl& other) const
{
    return CUrlComponents::Equals(other) && m_referrer == other.m_referrer && m_params == other.m_params;
}

int CHttpRequestUrl::Compare(const CHttpRequestUrl& other) const
{
    if (!CUrlComponents::Equals(other)) return 2;
    return m_params == other.m_params ? 0 : 1;
}

// One key, with the path read as Equals reads it: a strict weak ordering that agrees with Equals.
bool CHttpRequestUrl::Less(const CHttpRequestUrl& other) const
{
    return std::tie(m_scheme, m_host, m_port, PathOrRoot(m_path), m_extra, m_referrer, m_params) <
           std::tie(other.m_scheme, other.m_host, other.m_port, PathOrRoot(other.m_path), other.m_extra,
                    other.m_referrer, other.m_params);
}

int CHttpRequestUrl::CompareLogical(const CHttpRequestUrl& a, const CHttpRequestUrl& b)
{
    return ::StrCmpLogicalW(a.ToText().c_str(), b.ToText().c_str());
}

bool CHttpRequestUrl::LessByUrl(const CHttpRequestUrl& a, const CHttpRequestUrl& b) { return a.m_url < b.m_url; }

void CHttpRequestUrl::SplitPath(const std::wstring& path, std::list<std::wstring>& segments)
{
    SplitAny(path, L"/", segments);
}
