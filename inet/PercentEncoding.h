#pragma once
// Which characters of a URL travel as they are, percent-encoding and the safe decoding of escapes.
#include <ostream>
#include <string>

bool IsUrlMark(wchar_t c);
bool IsAsciiLetter(wchar_t c);
bool IsAsciiDigit(wchar_t c);
bool IsAsciiAlnum(wchar_t c);
bool IsLatin1(wchar_t c);
bool NeedsPercentEncoding(wchar_t c);
bool IsAsciiNonMark(wchar_t c);
bool IsWholeNumberParse(long value, const wchar_t* end);

std::wstring PercentEncode(const std::wstring& text);
std::wstring PercentEncode(const wchar_t* text);
std::wstring PercentDecode(const std::wstring& text);
std::wstring PercentDecode(const wchar_t* text);

void FormEncodeBytes(std::wostream& out, const std::string& bytes);
