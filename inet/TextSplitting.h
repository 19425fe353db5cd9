#pragma once
// Splitting texts into tokens: at any of a set of delimiters, and with quoted strings kept whole.
#include <list>
#include <string>

void SplitAny(const std::wstring& text, const std::wstring& delimiters, std::list<std::wstring>& out);
void SplitQuoted(const std::wstring& text, std::list<std::wstring>& out, const std::wstring& separators,
                 const std::wstring& quotes, const std::wstring& escapes);
void SplitLines(const std::wstring& text, std::list<std::wstring>& out);
void SplitParameters(const std::wstring& text, std::list<std::wstring>& out);
std::string WStringToUtf8(const std::wstring& text);
