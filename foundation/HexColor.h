#pragma once
// Colours as hexadecimal text.
#include <windows.h>

#include <string>

// One digit or two give a grey (each channel that value); six are RRGGBB.
bool ParseHexColor(COLORREF& out, const std::wstring& text);
std::wstring FormatHexColor(COLORREF color);
COLORREF InvertColor(COLORREF color);
// 0 for anything that is no hexadecimal digit.
int HexDigitValue(wchar_t c);
bool IsHexDigit(wchar_t c);
