// Splitting texts at delimiters, with and without quoted strings.
#include "inet/TextSplitting.h"
#include "inet/tests/RandomText.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::wstring> Tokens(void (*split)(const std::wstring&, std::list<std::wstring>&), const wchar_t* text)
{
    std::list<std::wstring> out;
    split(text, out);
    return {out.begin(), out.end()};
}

using Words = std::vector<std::wstring>;

TEST(TextSplitting, SplitAnyTable)
{
    const struct {
        const wchar_t* text;
        const wchar_t* delimiters;
        Words tokens;
    } cases[] = {
        {L"a//b/c//", L"/", {L"a", L"b", L"c"}}, {L"//", L"/", {}},       {L"", L"/", {}},
        {L"a;b,c", L";,", {L"a", L"b", L"c"}},   {L"abc", L"", {L"abc"}},
    };
    for (const auto& c : cases) {
        std::list<std::wstring> out;
        SplitAny(c.text, c.delimiters, out);
        EXPECT_EQ(c.tokens, Words(out.begin(), out.end())) << c.text;
    }
}

TEST(TextSplitting, QuotedTable)
{
    const struct {
        const wchar_t* text;
        Words tokens;
    } cases[] = {
        {L"a;\"b;c\";d", {L"a", L"b;c", L"d"}},
        {L"form-data; name=\"f\"; filename=\"my file.txt\"", {L"form-data", L" name=f", L" filename=my file.txt"}},
        {L"x=\"a\\\"b\";y", {L"x=a\"b", L"y"}},
        {L"x='a;b'", {L"x='a", L"b'"}},
        {L";;a;;", {L"a"}},
        {L"\"\"", {}},
        {L"\"open;quote", {L"open;quote"}},
        {L"ends\\", {L"ends\\"}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.tokens, Tokens(SplitParameters, c.text)) << c.text;
}

// A backslash escapes only inside a quoted string; outside one it is an ordinary character.
TEST(TextSplitting, BackslashOutsideQuotesStays)
{
    const struct {
        const wchar_t* text;
        Words tokens;
    } cases[] = {
        {L"X-Path: C:\\dir\\file", {L"X-Path: C:\\dir\\file"}},
        {L"a\\;b", {L"a\\", L"b"}},
        {L"p=a\\b; q=\"c\\\"d\\\\e\"", {L"p=a\\b", L" q=c\"d\\e"}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.tokens, Tokens(SplitParameters, c.text)) << c.text;
}

TEST(TextSplitting, LinesIgnoreQuotes)
{
    EXPECT_EQ((Words{L"User-Agent: Bob's client", L"Host: h", L"X: \"open"}),
              Tokens(SplitLines, L"User-Agent: Bob's client\r\nHost: h\r\n\r\nX: \"open\n"));
    std::list<std::wstring> out;
    SplitQuoted(L"a 'b c' d", out, L" ", L"'\"", L"");
    EXPECT_EQ((Words{L"a", L"b c", L"d"}), Words(out.begin(), out.end()));
}

TEST(TextSplitting, Utf8)
{
    EXPECT_EQ("a\xE3\x81\x82", WStringToUtf8(L"a\u3042"));
    EXPECT_EQ("", WStringToUtf8(L""));
}

// Split tokens hold no delimiter and are never empty; nothing throws on any text.
TEST(TextSplitting, RandomTextsKeepTheInvariants)
{
    inettest::CRandomText random("SplitAny/SplitLines/SplitParameters");
    const int count = inettest::RandomInputCount();
    for (int i = 0; i < count; ++i) {
        const std::wstring text = random.Text();
        std::list<std::wstring> lines, any, parameters;
        SplitLines(text, lines);
        SplitAny(text, L";&=", any);
        SplitParameters(text, parameters);
        size_t characters = 0;
        for (const auto& line : lines) {
            ASSERT_FALSE(line.empty());
            ASSERT_EQ(std::wstring::npos, line.find_first_of(L"\r\n")) << i;
            characters += line.size();
        }
        ASSERT_LE(characters, text.size());
        for (const auto& token : any) ASSERT_EQ(std::wstring::npos, token.find_first_of(L";&=")) << i;
        for (const auto& token : parameters) ASSERT_FALSE(token.empty()) << i;
        if (text.find_first_of(L"\"\\") == std::wstring::npos) {
            std::list<std::wstring> plain;
            SplitAny(text, L";", plain);
            ASSERT_EQ(plain, parameters) << i;
        }
    }
}

} // namespace
