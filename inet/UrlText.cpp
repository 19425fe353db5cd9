#include "inet/UrlText.h"

#include "inet/PercentEncoding.h"
#include "inet/TextSplitting.h"

#include <algorithm>
#include <cwchar>

// RFC 3986 scheme syntax at the very start: a letter, then letters, digits, '+', '-' or '.',
// then ':'. So "page.html?t=12:00" is relative and "c:\dir" counts as absolute.
bool HasUrlScheme(const wchar_t* text)
{
    if (!text || !IsAsciiLetter(text[0])) return false;
    const wchar_t* p = text + 1;
    while (IsAsciiAlnum(*p) || *p == L'+' || *p == L'-' || *p == L'.') ++p;
    return *p == L':';
}

bool StartsWith(const std::wstring& text, const wchar_t* prefix)
{
    if (!prefix) return true;
    const size_t length = wcslen(prefix);
    return text.size() >= length && text.compare(0, length, prefix) == 0;
}

void EnsureRootPath(std::wstring& path)
{
    if (path.empty()) path = L"/";
}

void SplitAtBackslash(const wchar_t* text, std::list<std::wstring>& out)
{
    if (text) SplitAny(text, L"\\", out);
}

// The authority ends at the first '/', '?' or '#'; the host follows the last '@' (user
// information holds none); an IP literal stands in brackets.
bool ReadAuthority(const std::wstring& url, CUrlAuthority& out)
{
    const size_t slashes = url.find(L"//");
    if (slashes == std::wstring::npos || url.find_first_of(L"/?#") != slashes) return false;
    const size_t start = slashes + 2;
    const size_t end = std::min(url.find_first_of(L"/?#", start), url.size());
    const size_t at = url.rfind(L'@', end == 0 ? 0 : end - 1);
    const size_t host = at == std::wstring::npos || at < start ? start : at + 1;
    size_t hostEnd = host;
    if (host < end && url[host] == L'[') {
        const size_t bracket = url.find(L']', host);
        hostEnd = bracket == std::wstring::npos || bracket >= end ? end : bracket + 1;
    }
    hostEnd = std::min(url.find(L':', hostEnd), end);
    CUrlAuthority authority;
    authority.host = url.substr(host, hostEnd - host);
    if (hostEnd < end) {
        authority.portColon = hostEnd;
        authority.port = url.substr(hostEnd + 1, end - hostEnd - 1);
    }
    out = authority;
    return true;
}

bool IsPortText(const std::wstring& port)
{
    if (port.empty() || port.size() > 5 || port.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    const int number = _wtoi(port.c_str());
    return number >= 1 && number <= 65535;
}

std::wstring TrimUrlBlanks(const std::wstring& text)
{
    static const wchar_t kBlanks[] = L" \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::wstring DropTabsAndLineBreaks(const std::wstring& text)
{
    std::wstring out;
    out.reserve(text.size());
    for (const wchar_t c : text) {
        if (c != L'\t' && c != L'\r' && c != L'\n') out += c;
    }
    return out;
}

// One pass over the input; a ".." drops the output's last segment, so every character is
// written and removed at most once.
std::wstring RemoveDotSegments(const std::wstring& path)
{
    std::wstring in = path;
    std::wstring out;
    size_t pos = 0;
    const auto rest = [&](const wchar_t* prefix) { return in.compare(pos, wcslen(prefix), prefix) == 0; };
    const auto restIs = [&](const wchar_t* whole) { return in.size() - pos == wcslen(whole) && rest(whole); };
    const auto dropLastSegment = [&] {
        const size_t slash = out.rfind(L'/');
        out.erase(slash == std::wstring::npos ? 0 : slash);
    };
    while (pos < in.size()) {
        if (rest(L"../")) {
            pos += 3;
        } else if (rest(L"./")) {
            pos += 2;
        } else if (rest(L"/./")) {
            pos += 2;
        } else if (restIs(L"/.")) {
            pos += 1;
            in[pos] = L'/';
        } else if (rest(L"/../")) {
            pos += 3;
            dropLastSegment();
        } else if (restIs(L"/..")) {
            pos += 2;
            in[pos] = L'/';
            dropLastSegment();
        } else if (restIs(L".") || restIs(L"..")) {
            pos = in.size();
        } else {
            const size_t end = in.find(L'/', pos + 1);
            const size_t stop = end == std::wstring::npos ? in.size() : end;
            out.append(in, pos, stop - pos);
            pos = stop;
        }
    }
    return out;
}
