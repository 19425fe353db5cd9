// Percent-encoding, the safe decoding of escapes, and the form encoding of bytes.
#include "inet/PercentEncoding.h"
#include "inet/tests/RandomText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

struct TextCase {
    const wchar_t* input;
    const wchar_t* expected;
};

TEST(PercentEncoding, EncodeTable)
{
    const TextCase cases[] = {
        {L"a b/c?d=\u00E9~", L"a%20b/c?d=%e9%7e"},
        {L"\u3042", L"\u3042"},
        {L"\t", L"%09"},
        {L"#%&'()*+-./:=?_", L"#%&'()*+-./:=?_"},
        {L"!\"$,;<>@[\\]^`{|}", L"%21%22%24%2c%3b%3c%3e%40%5b%5c%5d%5e%60%7b%7c%7d"},
        {L"\u00FF\u0100", L"%ff\u0100"},
        {L"", L""},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, PercentEncode(c.input)) << c.input;
    EXPECT_EQ(L"ab", PercentEncode(std::wstring(L"ab\0cd", 5)));
    EXPECT_EQ(L"", PercentEncode(static_cast<const wchar_t*>(nullptr)));
}

TEST(PercentEncoding, DecodeTable)
{
    const TextCase cases[] = {
        {L"%7e%2f%4", L"~%2f%4"},
        {L"%41%20B", L"A B"},
        {L"a%", L"a%"},
        {L"a%4", L"a%4"},
        {L"%2F%25%3F%E3%81%82", L"%2F%25%3F%E3%81%82"},
        // Controls stay escaped: CR LF would go out raw in a request line, NUL would cut the URL.
        {L"/a%0D%0AHost:%20x", L"/a%0D%0AHost: x"},
        {L"%00%01%1f%7F%7f", L"%00%01%1f%7F%7f"},
        // Exactly two hexadecimal digits: no blank, no sign, no "0x".
        {L"% 9%+9%-9%0x41%4g", L"% 9%+9%-9%0x41%4g"},
        {L"%%41", L"%A"},
        // Nor do the characters that delimit a host.
        {L"%40%5C%5c%5B%5D", L"%40%5C%5c%5B%5D"},
        {L"%u0041", L"%u0041"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, PercentDecode(c.input)) << c.input;
    EXPECT_EQ(L"a", PercentDecode(std::wstring(L"a\0%41", 5)));
}

TEST(PercentEncoding, CharacterClasses)
{
    const std::wstring marks = L"#%&'()*+-./:=?_";
    for (wchar_t c = 0; c < 0x200; ++c) {
        const bool mark = marks.find(c) != std::wstring::npos && c != 0;
        EXPECT_EQ(mark, IsUrlMark(c)) << int(c);
        EXPECT_EQ(c >= 1 && c <= 255 && !iswalnum(c) && !mark && !(c >= 0x80), NeedsPercentEncoding(c) && c < 0x80)
            << int(c);
        EXPECT_EQ(c < 128 && !mark, IsAsciiNonMark(c)) << int(c);
    }
    EXPECT_TRUE(NeedsPercentEncoding(L'\u00E9'));
    EXPECT_FALSE(NeedsPercentEncoding(L'\u3042'));
    wchar_t* end = nullptr;
    const long whole = wcstol(L"123", &end, 10);
    EXPECT_TRUE(IsWholeNumberParse(whole, end));
    const long part = wcstol(L"12x", &end, 10);
    EXPECT_FALSE(IsWholeNumberParse(part, end));
}

TEST(PercentEncoding, FormEncodeBytesTable)
{
    const struct {
        std::string bytes;
        const wchar_t* expected;
    } cases[] = {
        {"a b&c", L"a+b&c"},
        {"\t", L"%09"},
        {"\n", L"%0a"},
        {"\xE3\x81\x82", L"%e3%81%82"},
        {std::string("ab\0cd", 5), L"ab"},
        {"~!", L"%7e%21"},
    };
    for (const auto& c : cases) {
        std::wostringstream out;
        FormEncodeBytes(out, c.bytes);
        EXPECT_EQ(c.expected, out.str());
    }
}

// Decoding never lengthens a text nor creates a control; an encoded text decodes back.
TEST(PercentEncoding, RandomTextsKeepTheInvariants)
{
    inettest::CRandomText random("PercentDecode/PercentEncode");
    const int count = inettest::RandomInputCount();
    for (int i = 0; i < count; ++i) {
        const std::wstring text = random.Text();
        const std::wstring upToNul = text.substr(0, text.find(L'\0'));
        const std::wstring decoded = PercentDecode(text);
        ASSERT_LE(decoded.size(), upToNul.size());
        ASSERT_LE(inettest::CountControls(decoded), inettest::CountControls(upToNul)) << i;
        const std::wstring encoded = PercentEncode(text);
        ASSERT_EQ(0u, inettest::CountControls(encoded)) << i;
        for (wchar_t c : encoded) ASSERT_FALSE(NeedsPercentEncoding(c)) << i;
    }
}

TEST(PercentEncoding, EncodedTextsWithoutPercentDecodeBack)
{
    inettest::CRandomText random("PercentEncode round trip");
    const int count = inettest::RandomInputCount();
    for (int i = 0; i < count; ++i) {
        std::wstring text = random.Text(random.Below(200));
        for (wchar_t& c : text) {
            if (c == L'%' || c == 0 || inettest::IsControl(c) || (c >= 0x80 && c <= 0xFF)) c = L'x';
            if (c == L'@' || c == L'\\' || c == L'[' || c == L']') c = L'y';
        }
        ASSERT_EQ(text, PercentDecode(PercentEncode(text))) << i;
    }
}

} // namespace
