#pragma once
// Text rules of URLs that need no cracking: scheme test, dot segments, trimming.
#include <list>
#include <string>

bool HasUrlScheme(const wchar_t* text);
bool StartsWith(const std::wstring& text, const wchar_t* prefix);
void EnsureRootPath(std::wstring& path);
void SplitAtBackslash(const wchar_t* text, std::list<std::wstring>& out);

// The host and port of a URL's authority as RFC 3986 reads them.
struct CUrlAuthority {
    std::wstring host;
    std::wstring port;
    // Where the ':' before the port stands in the URL; npos when there is none.
    size_t portColon = std::wstring::npos;
};
// False when the URL has no authority ("scheme://" first); `out` is then untouched.
bool ReadAuthority(const std::wstring& url, CUrlAuthority& out);
// A port as text: one to five decimal digits, from 1 to 65535. WinINet takes port 0 for the
// default port, and that is http's even for https.
bool IsPortText(const std::wstring& port);
// Strips leading and trailing blanks, tabs, carriage returns and line feeds.
std::wstring TrimUrlBlanks(const std::wstring& text);
// The text without its tabs, carriage returns and line feeds, wherever they stand: browsers drop
// them from a link, and WinINet would send a CR LF in a path raw into the request.
std::wstring DropTabsAndLineBreaks(const std::wstring& text);
// The path with its "." and ".." segments applied, as RFC 3986 section 5.2.4 does it.
std::wstring RemoveDotSegments(const std::wstring& path);
