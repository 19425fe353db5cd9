#include "foundation/Exception.h"
#include "foundation/ValueText.h"
#include "ids/foundation.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

TEST(ValueText, SignedNumbers)
{
    struct Case {
        const wchar_t* text;
        int decimals;
        bool ok;
        long value;
    } cases[] = {
        {L"0", 0, true, 0},
        {L"-0", 0, true, 0},
        {L"+12", 0, true, 12},
        {L"12.7", 0, true, 12},
        {L"12.", 0, true, 12},
        {L"2147483647", 0, true, LONG_MAX},
        {L"-2147483648", 0, true, LONG_MIN},
        {L"2147483648", 0, false, 0},
        {L"-2147483649", 0, false, 0},
        {L"99999999999999999999", 0, false, 0},
        {L"000000000000000000001", 0, true, 1},
        {L"-0.5", 1, true, -5},
        {L"1.25", 1, true, 12},
        {L"1.", 2, true, 100},
        {L"12.345", 3, true, 12345},
        {L"214748364.7", 1, true, LONG_MAX},
        {L"214748364.8", 1, false, 0},
        {L"-214748364.8", 1, true, LONG_MIN},
        {L"-214748364.9", 1, false, 0},
        {L"", 0, false, 0},
        {L"-", 0, false, 0},
        {L"+-1", 0, false, 0},
        {L" 1", 0, false, 0},
        {L"1 ", 0, false, 0},
        {L"1e3", 0, false, 0},
        {L".5", 1, false, 0},
        {L"abc\n12", 0, false, 0},
        {L"12\nabc", 0, false, 0},
        {L"\x0031\x0032", 0, true, 12},
        {L"\xFF11\xFF12", 0, false, 0},
        {L"1", -1, false, 0},
    };
    for (const auto& c : cases) {
        long value = 777;
        EXPECT_EQ(c.ok, ParseSignedNumber(c.text, c.decimals, value)) << c.text << " d=" << c.decimals;
        EXPECT_EQ(c.ok ? c.value : 777, value) << c.text;
    }
}

TEST(ValueText, UnsignedNumbers)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        unsigned long value;
    } cases[] = {
        {L"0", true, 0},           {L"+7", true, 7},          {L"2147483648", true, 2147483648ul},
        {L"4294967295", true, 4294967295ul}, {L"4294967296", false, 0}, {L"-1", false, 0},
        {L"3.9", true, 3},         {L"", false, 0},           {L"1\n2", false, 0},
    };
    for (const auto& c : cases) {
        unsigned long value = 777;
        EXPECT_EQ(c.ok, ParseUnsignedNumber(c.text, value)) << c.text;
        EXPECT_EQ(c.ok ? c.value : 777, value) << c.text;
    }
}

TEST(ValueText, FormatFixed)
{
    EXPECT_EQ(L"12.345", FormatFixed(12345, 3));
    EXPECT_EQ(L"12.3", FormatFixed(12300, 3));
    EXPECT_EQ(L"12", FormatFixed(12000, 3));
    EXPECT_EQ(L"-0.5", FormatFixed(-5, 1));
    EXPECT_EQ(L"0.005", FormatFixed(5, 3));
    EXPECT_EQ(L"-2147483648", FormatFixed(LONG_MIN, 0));
    EXPECT_EQ(L"-214748.3648", FormatFixed(LONG_MIN, 4));
    EXPECT_EQ(L"42", FormatFixed(42, -3));
    EXPECT_EQ(L"-7", ToText(-7L));
    EXPECT_EQ(L"4294967295", ToText(4294967295ul));
    EXPECT_EQ(L"-9000000000", ToText(-9000000000LL));
    EXPECT_EQ(L"1.5", ToText(15L, 1));
}

TEST(ValueText, HexNumbers)
{
    struct Case {
        const wchar_t* text;
        bool ok;
        DWORD value;
    } cases[] = {
        {L"0000000E", true, 14}, {L"e", true, 14},        {L"0E", true, 14},         {L"0000000e", true, 14},
        {L"", true, 0},          {L"0x0E", false, 0},     {L" E", false, 0},         {L"123456789", true, 0x23456789},
        {L"FFFFFFFF", true, 0xFFFFFFFF}, {L"80000000", true, 0x80000000}, {L"G", false, 0},
    };
    for (const auto& c : cases) {
        DWORD value = 777;
        EXPECT_EQ(c.ok, ParseHexNumber(c.text, value)) << c.text;
        EXPECT_EQ(c.ok ? c.value : 777, value) << c.text;
    }
    WORD w = 0;
    EXPECT_TRUE(ParseHexWord(L"12345", w));
    EXPECT_EQ(0x2345, w);
    BYTE b = 0;
    EXPECT_TRUE(ParseHexByte(L"1Ff", b));
    EXPECT_EQ(0xFF, b);
    EXPECT_EQ(L"0000000E", FormatHex(14, 8));
    EXPECT_EQ(L"ABCD", FormatHex(0xABCD, 4));
}

TEST(ValueText, Versions)
{
    EXPECT_EQ(0x01000000u, PackVersion(1, 0, 0, 0));
    EXPECT_EQ(L"1.0.0.0", FormatVersion(0x01000000));
    EXPECT_EQ(L"255.254.1.0", FormatVersion(PackVersion(255, 254, 1, 0)));
    struct Case {
        const wchar_t* text;
        bool ok;
        DWORD value;
    } cases[] = {
        {L"1", true, 0x01000000},   {L"1.2", true, 0x01020000},  {L"1.2.3.4", true, 0x01020304},
        {L"+1.0", true, 0x01000000}, {L"2.0", true, 0x02000000},  {L"255.255.255.255", true, 0xFFFFFFFF},
        {L"1.2.3.4.5", false, 0},   {L"", false, 0},             {L"256.0", false, 0},
        {L"1.-1", false, 0},        {L"1..2", false, 0},         {L"1.", false, 0},
    };
    for (const auto& c : cases) {
        DWORD value = 777;
        EXPECT_EQ(c.ok, ParseVersion(c.text, value)) << c.text;
        EXPECT_EQ(c.ok ? c.value : 777u, value) << c.text;
    }
}

TEST(ValueText, SplitText)
{
    std::vector<std::wstring> pieces;
    SplitText(L"a,,b,", L",", pieces);
    EXPECT_EQ((std::vector<std::wstring>{L"a", L"", L"b", L""}), pieces);
    SplitText(L"", L",", pieces);
    EXPECT_EQ(4u, pieces.size());
    pieces.clear();
    SplitText(L",x;y", L",;", pieces);
    EXPECT_EQ((std::vector<std::wstring>{L"", L"x", L"y"}), pieces);
}

TEST(ValueText, ThreeStateNames)
{
    EXPECT_EQ(L"UNDEF", C3StateToText(C3STATE_UNDEF));
    EXPECT_EQ(L"ON", C3StateToText(C3STATE_ON));
    EXPECT_EQ(L"OFF", C3StateToText(C3STATE_OFF));
    EXPECT_EQ(C3STATE_OFF, C3StateFromText(L"OFF"));
    try {
        C3StateToText(3);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_NAME_TABLE_UNKNOWN_VALUE), e.m_id);
        EXPECT_NE(std::wstring::npos, e.m_message.find(L"C3State::3"));
    }
    try {
        C3StateFromText(L"on");
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(static_cast<UINT>(IDS_NAME_TABLE_UNKNOWN_NAME), e.m_id);
        EXPECT_NE(std::wstring::npos, e.m_message.find(L"C3State::on"));
    }
}

// Random values formatted and parsed back, and random texts: a parser that accepts a text must
// give a value that formats back to the same number.
TEST(ValueText, RandomizedRoundTripsAndRobustness)
{
    std::mt19937 rng(20240611);
    std::uniform_int_distribution<long> anyLong(LONG_MIN, LONG_MAX);
    std::uniform_int_distribution<unsigned long> anyULong(0, ULONG_MAX);
    std::uniform_int_distribution<int> decimalsDist(0, 6);
    const wchar_t alphabet[] = L"0123456789+-.\n eE\xFF10";
    std::uniform_int_distribution<size_t> pick(0, sizeof(alphabet) / sizeof(wchar_t) - 2);
    std::uniform_int_distribution<int> length(0, 14);
    for (int i = 0; i < 20000; ++i) {
        const long v = anyLong(rng);
        const int d = decimalsDist(rng);
        long back = 0;
        ASSERT_TRUE(ParseSignedNumber(FormatFixed(v, d), d, back)) << FormatFixed(v, d);
        ASSERT_EQ(v, back);
        const unsigned long u = anyULong(rng);
        unsigned long uback = 0;
        ASSERT_TRUE(ParseUnsignedNumber(ToText(u), uback));
        ASSERT_EQ(u, uback);
        DWORD hex = 0;
        ASSERT_TRUE(ParseHexNumber(FormatHex(u, 8), hex));
        ASSERT_EQ(u, hex);

        std::wstring text;
        for (int n = length(rng); n > 0; --n) text += alphabet[pick(rng)];
        long parsed = 0;
        if (ParseSignedNumber(text, 0, parsed)) {
            const size_t dot = text.find(L'.');
            std::wstring integer = text.substr(0, dot);
            long again = 0;
            ASSERT_TRUE(ParseSignedNumber(ToText(parsed), 0, again)) << text;
            ASSERT_EQ(parsed, again);
            ASSERT_EQ(std::wstring::npos, text.find_first_of(L"\n eE\xFF10")) << text;
            ASSERT_EQ(_wtoi64(integer.c_str()), static_cast<long long>(parsed)) << text;
        }
        unsigned long uparsed = 0;
        if (ParseUnsignedNumber(text, uparsed)) {
            ASSERT_EQ(std::wstring::npos, text.find_first_of(L"-\n eE\xFF10")) << text;
            ASSERT_EQ(_wtoi64(text.substr(0, text.find(L'.')).c_str()), static_cast<long long>(uparsed)) << text;
        }
        DWORD version = 0;
        if (ParseVersion(text, version)) {
            ASSERT_TRUE(ParseVersion(FormatVersion(version), version)) << text;
        }
    }
}
