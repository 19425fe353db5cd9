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

bool HasValidPort(const std::wstring& url)
{
    const size_t slashes = url.find(L"//");
    if (slashes == std::wstring::npos || url.find_first_of(L"/?#") != slashes) return true;
    const size_t start = slashes + 2;
    const size_t end = std::min(url.find_first_of(L"/?#\\", start), url.size());
    size_t host = url.rfind(L'@', end == 0 ? 0 : end - 1);
    host = host == std::wstring::npos || host < start ? start : host + 1;
    if (host < end && url[host] == L'[') {
        host = url.find(L']', host);
        if (host == std::wstring::npos || host >= end) return false;
    }
    const size_t colon = url.find(L':', host);
    if (colon >= end) return true;
    const std::wstring port = url.substr(colon + 1, end - colon - 1);
    if (port.size() > 5 || port.find_first_not_of(L"0123456789") != std::wstring::npos) return false;
    return port.empty() || _wtoi(port.c_str()) <= 65535;
}

std::wstring TrimUrlBlanks(const std::wstring& text)
{
    static const wchar_t kBlanks[] = L" \t\r\n";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
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
