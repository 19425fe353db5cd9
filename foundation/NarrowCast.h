#pragma once
// Checked narrowing of numbers; a value that does not fit throws the cast error.
#include <windows.h>

#include <string>

WORD NarrowToWord(DWORD value);

[[noreturn]] void ThrowConversionError(const std::wstring& from, const std::wstring& to, long long value);
[[noreturn]] void ThrowConversionError(const std::wstring& from, const std::wstring& to, unsigned long value);
[[noreturn]] void ThrowConversionError(const std::wstring& from, const std::wstring& to, unsigned int value);
[[noreturn]] void ThrowConversionError(const std::wstring& from, const std::wstring& to, int value);
[[noreturn]] void ThrowConversionError(const std::wstring& from, const std::wstring& to, long value);

// Blank, tab, CR and LF.
bool IsBlank(wchar_t c);
