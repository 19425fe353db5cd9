#pragma once
// Small wide-string operations shared by several layers.
#include <locale.h>

#include <string>

// The process-wide "C" locale for case-insensitive comparisons (_wcsicmp_l, _wcsnicmp_l).
extern _locale_t g_cLocale;
void CreateCLocale();
void FreeCLocale();

using CharPredicate = bool (*)(wchar_t);

void TrimBy(std::wstring& out, const std::wstring& text, CharPredicate pred);
void TrimBy(std::wstring& out, const wchar_t* text, CharPredicate pred);
void TrimBy(std::wstring& text, CharPredicate pred);

bool IsSpaceOrCr(wchar_t c);

bool StripQuotes(std::wstring& text, const std::wstring& quoteChars);
void ToCrLf(std::wstring& text);

// `text` with every line longer than `maxLine` characters cut in the middle to its first and last
// characters around "...", so that a path of any length leaves its drive and its name readable.
std::wstring ShortenLongLines(const std::wstring& text, size_t maxLine);
