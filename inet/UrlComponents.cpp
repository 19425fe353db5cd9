#include "inet/UrlComponents.h"

#include "foundation/NoThrow.h"
#include "foundation/PathHelpers.h"
#include "inet/CharacterMaps.h"
#include "inet/Charset.h"
#include "inet/Md5.h"
#include "inet/PercentEncoding.h"
#include "inet/TextSplitting.h"
#include "inet/UrlText.h"

#include <wininet.h>

#include <list>
#include <sstream>

namespace {

const std::wstring& PathOrRoot(const std::wstring& path)
{
    static const std::wstring kRoot = L"/";
    return path.empty() ? kRoot : path;
}

// The port a URL of the scheme has when it names none; 0 for a scheme WinINet has none for.
INTERNET_PORT DefaultPort(INTERNET_SCHEME scheme)
{
    switch (scheme) {
    case INTERNET_SCHEME_HTTP: return INTERNET_DEFAULT_HTTP_PORT;
    case INTERNET_SCHEME_HTTPS: return INTERNET_DEFAULT_HTTPS_PORT;
    case INTERNET_SCHEME_FTP: return INTERNET_DEFAULT_FTP_PORT;
    case INTERNET_SCHEME_GOPHER: return INTERNET_DEFAULT_GOPHER_PORT;
    default: return INTERNET_INVALID_PORT_NUMBER;
    }
}

// A port of digits from 1 to 65535 (WinINet reads "h:abc" as port 0 and wraps "h:99999"), and an IP
// literal closed by its bracket.
bool IsAuthoritySyntax(const CUrlAuthority& authority)
{
    if (!authority.port.empty() && !IsPortText(authority.port)) return false;
    const std::wstring& host = authority.host;
    return host.empty() || host[0] != L'[' || host.back() == L']';
}

// Under Wine, InternetCrackUrlW reads past a '#' in the authority when a '?' follows, splits
// at the first of several '@' and cracks "[::1]" to host "[:" port 1: a crack counts only when
// it found the host and port that the authority names.
bool IsCrackedAs(const CUrlAuthority& authority, const std::wstring& host, const URL_COMPONENTSW& parts)
{
    if (host != authority.host && L'[' + host + L']' != authority.host) return false;
    if (!authority.port.empty()) return parts.nPort == _wtoi(authority.port.c_str());
    const INTERNET_PORT none = DefaultPort(parts.nScheme);
    return none == INTERNET_INVALID_PORT_NUMBER || parts.nPort == none;
}

} // namespace

void CUrlComponents::Clear()
{
    for (std::wstring* field : {&m_host, &m_url, &m_path, &m_port, &m_scheme, &m_extra, &m_dir, &m_fileName, &m_ext})
        field->clear();
}

HRESULT CUrlComponents::Crack(const wchar_t* url)
{
    return HResultOfCall([&]() -> HRESULT {
        Clear();
        std::wstring text = TrimUrlBlanks(DropTabsAndLineBreaks(PercentDecode(url)));
        CUrlAuthority authority;
        const bool hasAuthority = ReadAuthority(text, authority);
        if (hasAuthority && !IsAuthoritySyntax(authority)) return E_FAIL;
        // An empty port is no port: "http://h:/x" is "http://h/x" (WinINet would read port 0).
        if (hasAuthority && authority.port.empty() && authority.portColon != std::wstring::npos)
            text.erase(authority.portColon, 1);
        wchar_t scheme[33] = {}, host[257] = {}, user[129] = {}, password[129] = {}, path[2049] = {}, extra[2049] = {};
        URL_COMPONENTSW parts = {};
        parts.dwStructSize = sizeof(parts);
        const auto into = [](LPWSTR& field, DWORD& length, auto& buffer) {
            field = buffer;
            length = ARRAYSIZE(buffer);
        };
        into(parts.lpszScheme, parts.dwSchemeLength, scheme);
        into(parts.lpszHostName, parts.dwHostNameLength, host);
        into(parts.lpszUserName, parts.dwUserNameLength, user);
        into(parts.lpszPassword, parts.dwPasswordLength, password);
        into(parts.lpszUrlPath, parts.dwUrlPathLength, path);
        into(parts.lpszExtraInfo, parts.dwExtraInfoLength, extra);
        if (!::InternetCrackUrlW(text.c_str(), 0, 0, &parts)) return E_FAIL;
        const std::wstring crackedHost(host, parts.dwHostNameLength);
        if (hasAuthority && !IsCrackedAs(authority, crackedHost, parts)) return E_FAIL;
        m_url = text;
        m_host = crackedHost;
        m_path.assign(path, parts.dwUrlPathLength);
        DeriveFileParts();
        // Port 80 is "none" only where it is the scheme's own: "https://h:80/" must not go to 443.
        const bool named = hasAuthority && !authority.port.empty();
        if (parts.nPort != 80 || (named && DefaultPort(parts.nScheme) != 80)) m_port = std::to_wstring(parts.nPort);
        m_scheme.assign(scheme, parts.dwSchemeLength);
        m_scheme += L':';
        m_extra.assign(extra, parts.dwExtraInfoLength);
        return S_OK;
    });
}

HRESULT CUrlComponents::Build(std::wstring& out) const
{
    return HResultOfCall([&]() -> HRESULT {
        std::wstring scheme = m_scheme;
        if (!scheme.empty() && scheme.back() == L':') scheme.pop_back();
        // A port text that is no port (a local path may carry any) would wrap round in 16 bits.
        if (!m_port.empty() && !IsPortText(m_port)) {
            out.clear();
            return E_FAIL;
        }
        const int port = m_port.empty() ? 80 : _wtoi(m_port.c_str());
        URL_COMPONENTSW parts = {};
        parts.dwStructSize = sizeof(parts);
        parts.lpszScheme = const_cast<wchar_t*>(scheme.c_str());
        parts.lpszHostName = const_cast<wchar_t*>(m_host.c_str());
        parts.nPort = static_cast<INTERNET_PORT>(port);
        // Null credentials, not empty ones: WinINet writes "http://:@h/" for empty texts.
        parts.lpszUrlPath = const_cast<wchar_t*>(m_path.c_str());
        parts.lpszExtraInfo = const_cast<wchar_t*>(m_extra.c_str());
        std::wstring buffer(2084, L'\0');
        DWORD length = static_cast<DWORD>(buffer.size());
        if (!::InternetCreateUrlW(&parts, ICU_ESCAPE, buffer.data(), &length)) {
            out.clear();
            return E_FAIL;
        }
        buffer.resize(length);
        out.swap(buffer);
        return S_OK;
    });
}

// The first '?' or '#' begins the extra information: a fragment without a query is not path.
void CUrlComponents::SetPathAndQuery(const wchar_t* pathAndQuery)
{
    const std::wstring text = TrimUrlBlanks(DropTabsAndLineBreaks(pathAndQuery ? pathAndQuery : L""));
    const size_t split = text.find_first_of(L"?#");
    if (split == std::wstring::npos)
        SetPathAndExtra(text, std::wstring());
    else
        SetPathAndExtra(text.substr(0, split), text.substr(split));
}

void CUrlComponents::SetPathAndExtra(const std::wstring& path, const std::wstring& extra)
{
    m_path = path;
    m_extra = extra;
    DeriveFileParts();
    std::wostringstream url;
    WriteServer(url, true);
    url << m_path << m_extra;
    m_url = url.str();
}

void CUrlComponents::DeriveFileParts()
{
    m_dir = m_path;
    m_fileName.clear();
    SplitFileName(m_dir, m_fileName);
    const size_t dot = m_fileName.rfind(L'.');
    m_ext = dot == std::wstring::npos ? std::wstring() : m_fileName.substr(dot + 1);
}

bool CUrlComponents::IsSameServer(const CUrlComponents& other) const
{
    return m_host == other.m_host && m_port == other.m_port && m_scheme == other.m_scheme;
}

int CUrlComponents::Locate(const CUrlComponents& other) const
{
    if (!IsSameServer(other)) return 2;
    return StartsWith(other.m_path, m_dir.c_str()) ? 0 : 1;
}

bool CUrlComponents::Equals(const CUrlComponents& other) const
{
    return IsSameServer(other) && m_extra == other.m_extra && PathOrRoot(m_path) == PathOrRoot(other.m_path);
}

bool CUrlComponents::EqualsDecoded(const CUrlComponents& other) const
{
    return FlagOfCall([&]() -> bool {
        if (!IsSameServer(other) || m_extra != other.m_extra) return false;
        return m_path == other.m_path || PathOrRoot(PercentDecode(m_path)) == PathOrRoot(PercentDecode(other.m_path));
    });
}

std::wstring CUrlComponents::GetExtensionLower() const
{
    std::wstring ext = m_ext;
    ToLowerAsciiInPlace(ext);
    return ext;
}

void CUrlComponents::WriteServer(std::wostream& out, bool withSlashes) const
{
    out << m_scheme;
    if (withSlashes) out << L"//";
    out << m_host;
    if (!m_port.empty()) out << L':' << m_port;
}

void CUrlComponents::WriteDomainKey(std::wostream& out) const
{
    std::list<std::wstring> labels;
    SplitAny(m_host, L".", labels);
    if (labels.empty()) return;
    const bool super = labels.size() >= 3;
    if (super) labels.pop_front();
    out << (super ? L"super:" : L"sub:");
    bool first = true;
    for (const auto& label : labels) {
        if (!first) out << L'.';
        out << label;
        first = false;
    }
}

HRESULT CUrlComponents::GetDirectoryHash(std::wstring& out, const std::wstring& prefix) const
{
    return HResultOfCall([&]() -> HRESULT {
        std::string bytes;
        if (!WideToMultiByte(bytes, m_dir, CP_THREAD_ACP)) return E_FAIL;
        std::string digest;
        const HRESULT hr = Md5Bytes(digest, bytes);
        if (FAILED(hr)) return hr;
        std::wostringstream text;
        text << prefix << std::uppercase << std::hex;
        for (unsigned char b : digest) text << static_cast<unsigned>(b);
        out = text.str();
        return S_OK;
    });
}
