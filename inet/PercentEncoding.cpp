#include "inet/PercentEncoding.h"

#include "foundation/HexColor.h"

#include <climits>
#include <cwchar>

namespace {

const wchar_t kLowerHex[] = L"0123456789abcdef";

void AppendEscape(std::wstring& out, unsigned value)
{
    out += L'%';
    out += kLowerHex[(value >> 4) & 0xF];
    out += kLowerHex[value & 0xF];
}

// The escape at `text` (after its '%') as the character it stands for, or 0 when it stays.
// Exactly two hexadecimal digits: the C library would also take " 9" and "+9".
// Controls and DEL stay escaped: WinINet sends CR LF in a path raw, and a NUL cuts the URL.
// So do the characters that delimit a host: "http://good%40evil/" must not name the host evil,
// nor "%5C" or "%5B" open a path or an IPv6 literal.
wchar_t DecodableEscape(const wchar_t* text)
{
    if (!IsHexDigit(text[0]) || !IsHexDigit(text[1])) return 0;
    const wchar_t c = static_cast<wchar_t>(HexDigitValue(text[0]) * 16 + HexDigitValue(text[1]));
    if (c < 0x20 || c == 0x7F || !IsAsciiNonMark(c)) return 0;
    if (c == L'@' || c == L'\\' || c == L'[' || c == L']') return 0;
    return c;
}

} // namespace

bool IsUrlMark(wchar_t c)
{
    switch (c) {
    case L'#':
    case L'%':
    case L'&':
    case L'\'':
    case L'(':
    case L')':
    case L'*':
    case L'+':
    case L'-':
    case L'.':
    case L'/':
    case L':':
    case L'=':
    case L'?':
    case L'_': return true;
    default: return false;
    }
}

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsAsciiAlnum(wchar_t c) { return IsAsciiLetter(c) || IsAsciiDigit(c); }
bool IsLatin1(wchar_t c) { return c >= 1 && c <= 255; }
bool NeedsPercentEncoding(wchar_t c) { return IsLatin1(c) && !IsAsciiAlnum(c) && !IsUrlMark(c); }
bool IsAsciiNonMark(wchar_t c) { return c < 128 && !IsUrlMark(c); }
bool IsWholeNumberParse(long value, const wchar_t* end) { return value != LONG_MIN && end && *end == 0; }

std::wstring PercentEncode(const wchar_t* text)
{
    std::wstring out;
    if (!text) return out;
    for (const wchar_t* p = text; *p; ++p) {
        if (NeedsPercentEncoding(*p))
            AppendEscape(out, *p);
        else
            out += *p;
    }
    return out;
}

std::wstring PercentEncode(const std::wstring& text) { return PercentEncode(text.c_str()); }

std::wstring PercentDecode(const wchar_t* text)
{
    std::wstring out;
    if (!text) return out;
    for (const wchar_t* p = text; *p; ++p) {
        const wchar_t decoded = *p == L'%' ? DecodableEscape(p + 1) : 0;
        if (decoded) {
            out += decoded;
            p += 2;
        } else {
            out += *p;
        }
    }
    return out;
}

std::wstring PercentDecode(const std::wstring& text) { return PercentDecode(text.c_str()); }

void FormEncodeBytes(std::wostream& out, const std::string& bytes)
{
    for (const char ch : bytes) {
        const unsigned char b = static_cast<unsigned char>(ch);
        if (b == 0) break;
        if (b < 128 && (IsAsciiAlnum(b) || IsUrlMark(b))) {
            out << static_cast<wchar_t>(b);
        } else if (b == ' ') {
            out << L'+';
        } else {
            std::wstring escape;
            AppendEscape(escape, b);
            out << escape;
        }
    }
}
