#include "foundation/TextHelpers.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

} // namespace

TEST(TextHelpers, TrimByDropsOnlyTheEndsAndStopsAtAnInnerNul)
{
    const std::tuple<std::wstring, CharPredicate, std::wstring> cases[] = {
        {L" \t\r\n ", IsSpaceOrCr, L""},
        {L"\r\nabc \r\n", IsSpaceOrCr, L"abc"},
        {L"  a b  ", IsSpaceOrCr, L"a b"},
        {L"\r", IsSpaceOrCr, L""},
        {L"\x3000全角\x3000", IsSpaceOrCr, L"全角"}, // the ideographic space is white space too
        {L"12ab34", IsDigit, L"ab"},
        {L"1234", IsDigit, L""},
        {L"", IsDigit, L""},
        {std::wstring(L" ab\0cd ", 7), IsSpaceOrCr, L"ab"},
    };
    for (const auto& [text, pred, expected] : cases) {
        std::wstring out = L"old";
        TrimBy(out, text, pred);
        EXPECT_EQ(out, expected) << text;
        std::wstring inPlace = text;
        TrimBy(inPlace, pred);
        EXPECT_EQ(inPlace, expected) << text;
        out = L"old";
        TrimBy(out, text.c_str(), pred);
        EXPECT_EQ(out, expected) << text;
    }
    std::wstring out = L"old";
    TrimBy(out, static_cast<const wchar_t*>(nullptr), IsSpaceOrCr);
    EXPECT_EQ(out, L"");
}

TEST(TextHelpers, StripQuotesPeelsEachListedQuoteOnceInOrder)
{
    const std::tuple<std::wstring, std::wstring, std::wstring, bool> cases[] = {
        {L"\"a\"", L"\"", L"a", true},
        {L"\"", L"\"", L"", true},
        {L"'", L"\"'", L"", true},
        {L"abc", L"\"'", L"abc", false},
        {L"\"abc\"", L"", L"\"abc\"", false},
        {L"", L"\"", L"", false},
        {L"\"'a'\"", L"\"'", L"a", true},      // outer double, then inner single
        {L"\"'a'\"", L"'\"", L"'a'", true},    // single tried first matches nothing, then the double
        {L"\"\"a\"\"", L"\"", L"\"a\"", true}, // each character is tried once
        {L"\"a'", L"\"'", L"\"a'", false},     // the ends differ
        {L"\"\"", L"\"", L"", true},
    };
    for (const auto& [text, quotes, expected, changed] : cases) {
        std::wstring value = text;
        EXPECT_EQ(StripQuotes(value, quotes), changed) << text << L" / " << quotes;
        EXPECT_EQ(value, expected) << text << L" / " << quotes;
    }
}

TEST(TextHelpers, ToCrLfPairsBareLineFeedsAndAFinalCr)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"a\nb", L"a\r\nb"},
        {L"a\r", L"a\r\n"},
        {L"a\rb", L"a\rb"},
        {L"a\r\nb", L"a\r\nb"},
        {L"\n\n", L"\r\n\r\n"},
        {L"\r\r\n", L"\r\r\n"},
        {L"\n", L"\r\n"},
        {L"", L""},
        {L"\r", L"\r\n"},
        {L"日\n本\r", L"日\r\n本\r\n"},
        {L"\r\n\n\r", L"\r\n\r\n\r\n"},
    };
    for (const auto& [in, expected] : cases) {
        std::wstring text = in;
        ToCrLf(text);
        EXPECT_EQ(text, expected);
        ToCrLf(text);
        EXPECT_EQ(text, expected) << "a second pass changes nothing";
    }
}

TEST(TextHelpers, ShortenLongLinesCutsEachLongLineInTheMiddle)
{
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"", L""},
        {L"abcdefghi", L"abcdefghi"},
        {L"abcdefghij", L"abc...hij"},
        {L"C:\\0123456789\\x.jpg\nshort\n", L"C:\\...jpg\nshort\n"},
        {L"\n0123456789\n0123456789", L"\n012...789\n012...789"},
        {L"\n\n", L"\n\n"},
    };
    for (const auto& [in, expected] : cases) EXPECT_EQ(ShortenLongLines(in, 9), expected) << in;
}

TEST(TextHelpers, CLocaleComparesWithoutTheUsersLocale)
{
    ASSERT_NE(g_cLocale, nullptr) << "made before the program's main code runs";
    EXPECT_EQ(_wcsicmp_l(L"DCIM", L"dcim", g_cLocale), 0);
    EXPECT_EQ(_wcsnicmp_l(L"/START", L"/startx", 6, g_cLocale), 0);
    EXPECT_NE(_wcsicmp_l(L"a", L"b", g_cLocale), 0);
}
