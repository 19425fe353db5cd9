#include "foundation/HexColor.h"

namespace {

BYTE PairValue(const std::wstring& text, size_t at)
{
    return static_cast<BYTE>(HexDigitValue(text[at]) * 16 + HexDigitValue(text[at + 1]));
}

} // namespace

bool IsHexDigit(wchar_t c) { return (c >= L'0' && c <= L'9') || (c >= L'a' && c <= L'f') || (c >= L'A' && c <= L'F'); }

int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9') return c - L'0';
    if (c >= L'a' && c <= L'f') return c - L'a' + 10;
    if (c >= L'A' && c <= L'F') return c - L'A' + 10;
    return 0;
}

bool ParseHexColor(COLORREF& out, const std::wstring& text)
{
    if (text.empty()) return false;
    for (wchar_t c : text)
        if (!IsHexDigit(c)) return false;
    switch (text.size()) {
    case 1: {
        const BYTE v = static_cast<BYTE>(HexDigitValue(text[0]));
        out = RGB(v, v, v);
        return true;
    }
    case 2: {
        const BYTE v = PairValue(text, 0);
        out = RGB(v, v, v);
        return true;
    }
    case 6: out = RGB(PairValue(text, 0), PairValue(text, 2), PairValue(text, 4)); return true;
    default: return false;
    }
}

std::wstring FormatHexColor(COLORREF color)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    const BYTE channels[] = {GetRValue(color), GetGValue(color), GetBValue(color)};
    std::wstring out;
    for (BYTE b : channels) {
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0xF]);
    }
    return out;
}

COLORREF InvertColor(COLORREF color)
{
    return RGB(255 - GetRValue(color), 255 - GetGValue(color), 255 - GetBValue(color));
}
