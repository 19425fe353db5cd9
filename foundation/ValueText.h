#pragma once
// Text forms of typed values: numbers, fixed-point, hexadecimal, versions, three-state names.
#include <windows.h>

#include <string>
#include <vector>

// Whole-text parsers: true and `out` set when the text has the form and the value fits.
// Signed: optional sign, digits, optionally "." and digits; `decimals` fraction digits are kept
// (cut, not rounded), so the result is the value times 10^decimals.
bool ParseSignedNumber(const std::wstring& text, int decimals, long& out);
// Unsigned: optional "+", digits, optionally "." and digits (the fraction is ignored).
bool ParseUnsignedNumber(const std::wstring& text, unsigned long& out);
std::wstring FormatFixed(long value, int decimals);

// Only the last 8, 4 or 2 digits count; an empty text is 0.
bool ParseHexNumber(const std::wstring& text, DWORD& out);
bool ParseHexWord(const std::wstring& text, WORD& out);
bool ParseHexByte(const std::wstring& text, BYTE& out);
std::wstring FormatHex(DWORD value, int digits);

constexpr DWORD PackVersion(BYTE major, BYTE minor, BYTE build, BYTE revision)
{
    return static_cast<DWORD>(major) << 24 | static_cast<DWORD>(minor) << 16 | static_cast<DWORD>(build) << 8 |
           revision;
}
std::wstring FormatVersion(DWORD version);
bool ParseVersion(const std::wstring& text, DWORD& out);

// Appends the pieces between separator characters, empty ones included; an empty text adds none.
void SplitText(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& out);

std::wstring ToText(int value);
std::wstring ToText(unsigned int value);
std::wstring ToText(long value);
std::wstring ToText(unsigned long value);
std::wstring ToText(long long value);
std::wstring ToText(long value, int decimals);

using C3State = BYTE;
enum : C3State { C3STATE_UNDEF = 0, C3STATE_ON = 1, C3STATE_OFF = 2 };
// Both throw my::CException for a value or name outside the three.
std::wstring C3StateToText(C3State value);
C3State C3StateFromText(const std::wstring& text);
