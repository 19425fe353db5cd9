#include "foundation/ValueText.h"

#include "foundation/Exception.h"

#include <boost/regex.hpp>

#include <sstream>

namespace {

constexpr unsigned long long kMaxDigitsValue = 0xFFFFFFFFull;

// Decimal digits to a value, refusing anything above `limit` (no saturation).
bool DigitsToValue(const std::wstring& digits, unsigned long long limit, unsigned long long& out)
{
    unsigned long long value = 0;
    for (wchar_t c : digits) {
        value = value * 10 + static_cast<unsigned>(c - L'0');
        if (value > limit) return false;
    }
    out = value;
    return true;
}

template <class T> bool ParseHexDigits(const std::wstring& text, T& out)
{
    T value = 0;
    T weight = 1;
    for (auto it = text.rbegin(); it != text.rend(); ++it) {
        const wchar_t c = *it;
        unsigned digit;
        if (c >= L'0' && c <= L'9')
            digit = c - L'0';
        else if (c >= L'a' && c <= L'f')
            digit = c - L'a' + 10;
        else if (c >= L'A' && c <= L'F')
            digit = c - L'A' + 10;
        else
            return false;
        value = static_cast<T>(value + digit * weight);
        weight = static_cast<T>(weight * 16);
    }
    out = value;
    return true;
}

template <class T> std::wstring Write(T value)
{
    std::wostringstream os;
    os << value;
    return os.str();
}

} // namespace

// regex_match: the whole text must have the form; "^...$" with a search would also accept
// one matching line out of several.
bool ParseSignedNumber(const std::wstring& text, int decimals, long& out)
{
    if (decimals < 0 || decimals > 18) return false;
    static const boost::wregex form(L"([+-]?)([0-9]+)(?:\\.([0-9]*))?", boost::regex::perl);
    boost::wsmatch m;
    try {
        if (!boost::regex_match(text, m, form)) return false;
    } catch (const std::runtime_error&) {
        return false;
    }
    const bool negative = m[1].str() == L"-";
    unsigned long long integer = 0;
    if (!DigitsToValue(m[2].str(), kMaxDigitsValue, integer)) return false;
    std::wstring fraction = m[3].matched ? m[3].str() : std::wstring();
    fraction.resize(static_cast<size_t>(decimals), L'0');
    unsigned long long part = 0;
    DigitsToValue(fraction, ~0ull, part); // at most 18 digits: fits
    unsigned long long scale = 1;
    for (int i = 0; i < decimals; ++i) scale *= 10;

    unsigned long long magnitude = 0;
    if (__builtin_mul_overflow(integer, scale, &magnitude) || __builtin_add_overflow(magnitude, part, &magnitude))
        return false;
    if (magnitude > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return false;
    out = negative ? static_cast<long>(-static_cast<long long>(magnitude)) : static_cast<long>(magnitude);
    return true;
}

bool ParseUnsignedNumber(const std::wstring& text, unsigned long& out)
{
    static const boost::wregex form(L"\\+?([0-9]+)(?:\\.[0-9]*)?", boost::regex::perl);
    boost::wsmatch m;
    try {
        if (!boost::regex_match(text, m, form)) return false;
    } catch (const std::runtime_error&) {
        return false;
    }
    unsigned long long value = 0;
    if (!DigitsToValue(m[1].str(), kMaxDigitsValue, value)) return false;
    out = static_cast<unsigned long>(value);
    return true;
}

std::wstring FormatFixed(long value, int decimals)
{
    long long scale = 1;
    for (int i = 0; i < decimals && i < 18; ++i) scale *= 10;
    const long long v = value;
    std::wstring out;
    if (v < 0) out += L'-';
    const long long whole = v / scale;
    out += Write(whole < 0 ? -whole : whole);
    long long rest = v % scale;
    if (rest < 0) rest = -rest;
    int digits = decimals;
    if (digits > 0 && rest != 0) {
        while (rest % 10 == 0) {
            rest /= 10;
            --digits;
        }
        std::wstring fraction = Write(rest);
        out += L'.';
        out.append(static_cast<size_t>(digits) - fraction.size(), L'0');
        out += fraction;
    }
    return out;
}

bool ParseHexNumber(const std::wstring& text, DWORD& out) { return ParseHexDigits(text, out); }
bool ParseHexWord(const std::wstring& text, WORD& out) { return ParseHexDigits(text, out); }
bool ParseHexByte(const std::wstring& text, BYTE& out) { return ParseHexDigits(text, out); }

std::wstring FormatHex(DWORD value, int digits)
{
    static const wchar_t hex[] = L"0123456789ABCDEF";
    std::wstring out(static_cast<size_t>(digits), L'0');
    for (int i = digits - 1; i >= 0; --i, value >>= 4) out[static_cast<size_t>(i)] = hex[value & 0xF];
    return out;
}

std::wstring FormatVersion(DWORD version)
{
    return Write(version >> 24) + L"." + Write((version >> 16) & 0xFF) + L"." + Write((version >> 8) & 0xFF) + L"." +
           Write(version & 0xFF);
}

bool ParseVersion(const std::wstring& text, DWORD& out)
{
    std::vector<std::wstring> pieces;
    SplitText(text, L".", pieces);
    if (pieces.empty() || pieces.size() > 4) return false;
    DWORD value = 0;
    int shift = 24;
    for (const auto& piece : pieces) {
        long part = 0;
        if (!ParseSignedNumber(piece, 0, part) || part < 0 || part > 255) return false;
        value |= static_cast<DWORD>(part) << shift;
        shift -= 8;
    }
    out = value;
    return true;
}

void SplitText(const std::wstring& text, const std::wstring& separators, std::vector<std::wstring>& out)
{
    if (text.empty()) return;
    size_t start = 0;
    for (;;) {
        const size_t at = text.find_first_of(separators, start);
        if (at == std::wstring::npos) {
            out.push_back(text.substr(start));
            return;
        }
        out.push_back(text.substr(start, at - start));
        start = at + 1;
    }
}

std::wstring ToText(int value) { return Write(value); }
std::wstring ToText(unsigned int value) { return Write(value); }
std::wstring ToText(long value) { return Write(value); }
std::wstring ToText(unsigned long value) { return Write(value); }
std::wstring ToText(long long value) { return Write(value); }
std::wstring ToText(long value, int decimals) { return FormatFixed(value, decimals); }

namespace {
const wchar_t* const kC3StateNames[] = {L"UNDEF", L"ON", L"OFF"};
}

std::wstring C3StateToText(C3State value)
{
    if (value > C3STATE_OFF) ThrowUnknownValue(L"C3State", ToText(static_cast<unsigned>(value)));
    return kC3StateNames[value];
}

C3State C3StateFromText(const std::wstring& text)
{
    for (C3State i = 0; i <= C3STATE_OFF; ++i)
        if (text == kC3StateNames[i]) return i;
    ThrowUnknownName(L"C3State", text);
}
