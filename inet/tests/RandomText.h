#pragma once
// Random texts for the parsers' robustness loops: a fixed seed printed once, an alphabet weighted
// to the characters parsers trip on, mostly short texts and some long ones.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

namespace inettest {

constexpr unsigned kRandomSeed = 20261207;

// FH_RANDOM_INPUTS overrides the count (a quick local run, or a long soak).
inline int RandomInputCount()
{
    wchar_t value[32] = {};
    if (::GetEnvironmentVariableW(L"FH_RANDOM_INPUTS", value, 32) > 0 && _wtoi(value) > 0) return _wtoi(value);
    return 100000;
}

class CRandomText {
public:
    explicit CRandomText(const char* loop) : m_engine(kRandomSeed)
    {
        std::printf("[ random   ] %s: seed %u, %d inputs\n", loop, kRandomSeed, RandomInputCount());
    }

    size_t Length()
    {
        // One input in 500 is long; the rest 0 to 300 characters.
        if (Below(500) == 0) return 5000 + Below(35001);
        return Below(301);
    }

    wchar_t Character()
    {
        static const wchar_t kWeighted[] = L"%%%%\"\"''';;&&==\r\n\r\n[]<>:/?#\\ \t+,.@";
        static const wchar_t kOthers[] = L"\0\u3000\uFF0F\uFF1A\u3042\u00E9\u007F\xD800\xDC00\xDBFF\xDFFF";
        switch (Below(4)) {
        case 0: return kWeighted[Below(sizeof(kWeighted) / sizeof(wchar_t) - 1)];
        case 1: return kOthers[Below(sizeof(kOthers) / sizeof(wchar_t) - 1)];
        case 2: return L"0123456789abcdefABCDEF"[Below(22)];
        default: return static_cast<wchar_t>(L' ' + Below(95));
        }
    }

    std::wstring Text() { return Text(Length()); }
    std::wstring Text(size_t length)
    {
        std::wstring text;
        text.reserve(length);
        for (size_t i = 0; i < length; ++i) text += Character();
        return text;
    }
    std::wstring Text(size_t length, const wchar_t* alphabet)
    {
        const size_t count = wcslen(alphabet);
        std::wstring text;
        for (size_t i = 0; i < length; ++i) text += alphabet[Below(count)];
        return text;
    }
    std::string Bytes()
    {
        std::string bytes;
        for (wchar_t c : Text()) bytes += static_cast<char>(c & 0xFF);
        return bytes;
    }

    size_t Below(size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(m_engine); }

private:
    std::mt19937 m_engine;
};

inline bool IsControl(wchar_t c) { return c < 0x20 || c == 0x7F; }

inline size_t CountControls(const std::wstring& text)
{
    size_t count = 0;
    for (wchar_t c : text) count += IsControl(c) ? 1 : 0;
    return count;
}

} // namespace inettest
