#pragma once
// Text rules of URLs that need no cracking: scheme test, dot segments, trimming.
#include <list>
#include <string>

bool HasUrlScheme(const wchar_t* text);
bool StartsWith(const std::wstring& text, const wchar_t* prefix);
void EnsureRootPath(std::wstring& path);
void SplitAtBackslash(const wchar_t* text, std::list<std::wstring>& out);

// False when the URL's authority holds a port that is not a number from 0 to 65535
// (WinINet reads "h:abc" as port 0 and wraps "h:99999").
bool HasValidPort(const std::wstring& url);
// Strips leading and trailing blanks, tabs, carriage returns and line feeds.
std::wstring TrimUrlBlanks(const std::wstring& text);
// The path with its "." and ".." segments applied, as RFC 3986 section 5.2.4 does it.
std::wstring RemoveDotSegments(const std::wstring& path);
