#include "foundation/ValueText.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <tuple>

TEST(ValueText, DecimalNumbersAreWholeTextsInRange)
{
    const std::tuple<const wchar_t*, int, bool, long> cases[] = {
        {L"+12", 0, true, 12},
        {L"12.7", 0, true, 12},
        {L"2147483647", 0, true, LONG_MAX},
        {L"-2147483648", 0, true, LONG_MIN},
        {L"2147483648", 0, false, 0},
        {L"-2147483649", 0, false, 0},
        {L"99999999999999999999", 0, false, 0},
        {L"000000000000000000001", 0, true, 1},
        {L"-0.5", 1, true, -5},
        {L"1.", 2, true, 100},
        {L"214748364.7", 1, true, LONG_MAX},
        {L"214748364.8", 1, false, 0},
        {L"-214748364.8", 1, true, LONG_MIN},
        {L"", 0, false, 0},
        {L"+-1", 0, false, 0},
        {L" 1", 0, false, 0},
        {L"1e3", 0, false, 0},
        {L".5", 1, false, 0},
        {L"abc\n12", 0, false, 0},
        {L"12\nabc", 0, false, 0},
        {L"\xFF11\xFF12", 0, false, 0},
        {L"1", -1, false, 0},
    };
    for (const auto& [text, decimals, ok, expected] : cases) {
        long value = 777;
        EXPECT_EQ(ok, ParseSignedNumber(text, decimals, value)) << text << " d=" << decimals;
        EXPECT_EQ(ok ? expected : 777, value) << text;
    }
    const std::tuple<const wchar_t*, bool, unsigned long> unsignedCases[] = {
        {L"+7", true, 7},
        {L"2147483648", true, 2147483648ul},
        {L"4294967295", true, 4294967295ul},
        {L"4294967296", false, 0},
        {L"-1", false, 0},
        {L"3.9", true, 3},
        {L"1\n2", false, 0},
    };
    for (const auto& [text, ok, expected] : unsignedCases) {
        unsigned long value = 777;
        EXPECT_EQ(ok, ParseUnsignedNumber(text, value)) << text;
        EXPECT_EQ(ok ? expected : 777, value) << text;
    }
    EXPECT_EQ(L"12.3", FormatFixed(12300, 3));
    EXPECT_EQ(L"-214748.3648", FormatFixed(LONG_MIN, 4));
}

TEST(ValueText, HexNumbersAndVersions)
{
    const std::tuple<const wchar_t*, bool, DWORD> hexCases[] = {
        {L"0000000E", true, 14},          {L"e", true, 14}, {L"", true, 0}, {L"0x0E", false, 0}, {L" E", false, 0},
        {L"123456789", true, 0x23456789}, {L"G", false, 0},
    };
    for (const auto& [text, ok, expected] : hexCases) {
        DWORD value = 777;
        EXPECT_EQ(ok, ParseHexNumber(text, value)) << text;
        EXPECT_EQ(ok ? expected : 777, value) << text;
    }
    const std::tuple<const wchar_t*, bool, DWORD> versionCases[] = {
        {L"1", true, 0x01000000},
        {L"1.2.3.4", true, 0x01020304},
        {L"255.255.255.255", true, 0xFFFFFFFF},
        {L"1.2.3.4.5", false, 0},
        {L"", false, 0},
        {L"256.0", false, 0},
        {L"1.-1", false, 0},
        {L"1..2", false, 0},
        {L"1.", false, 0},
    };
    for (const auto& [text, ok, expected] : versionCases) {
        DWORD value = 777;
        EXPECT_EQ(ok, ParseVersion(text, value)) << text;
        EXPECT_EQ(ok ? expected : 777u, value) << text;
    }
}

// Random values formatted and parsed back, and random texts: a parser that accepts a text must
// give a value that formats back to the same number.
TEST(ValueText, RandomizedRoundTripsAndRobustness)
{
    std::mt19937 rng(20240611); // 32 random bits: every long and unsigned long
    const wchar_t alphabet[] = L"0123456789+-.\n eE\xFF10";
    for (int i = 0; i < 20000; ++i) {
        const long v = static_cast<long>(rng());
        const int d = static_cast<int>(rng() % 7);
        long back = 0;
        ASSERT_TRUE(ParseSignedNumber(FormatFixed(v, d), d, back)) << FormatFixed(v, d);
        ASSERT_EQ(v, back);
        const unsigned long u = rng();
        unsigned long uback = 0;
        ASSERT_TRUE(ParseUnsignedNumber(ToText(u), uback));
        ASSERT_EQ(u, uback);
        DWORD hex = 0;
        ASSERT_TRUE(ParseHexNumber(FormatHex(u, 8), hex));
        ASSERT_EQ(u, hex);

        std::wstring text;
        for (int n = static_cast<int>(rng() % 15); n > 0; --n) text += alphabet[rng() % 18];
        long parsed = 0;
        if (ParseSignedNumber(text, 0, parsed)) {
            ASSERT_EQ(std::wstring::npos, text.find_first_of(L"\n eE\xFF10")) << text;
            ASSERT_EQ(_wtoi64(text.substr(0, text.find(L'.')).c_str()), static_cast<long long>(parsed)) << text;
        }
    }
}
