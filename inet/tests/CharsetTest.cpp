// Charset names and conversions into code pages within the size limit.
#include "inet/Charset.h"

#include <gtest/gtest.h>

namespace {

TEST(Charset, NamesToCodePages)
{
    const struct {
        const wchar_t* name;
        UINT codePage;
    } cases[] = {
        {L"UTF-8", 65001}, {L"utf-7", 65000}, {L"Shift_JIS", 932}, {L"iso-2022-jp", 50220}, {L"EUC-JP", 20932},
        {L"latin1", 0},    {L"", 0},          {nullptr, 0},        {L"utf-8 ", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.codePage, CharsetToCodePage(c.name)) << (c.name ? c.name : L"null");
}

// Every code page the names give converts Japanese text (51932 would not).
TEST(Charset, EveryNamedCodePageConverts)
{
    for (const wchar_t* name : {L"utf-8", L"utf-7", L"shift_jis", L"euc-jp"}) {
        std::string bytes;
        const UINT codePage = CharsetToCodePage(name);
        EXPECT_TRUE(WideToMultiByte(bytes, L"\u3042\u3044", codePage)) << name;
        EXPECT_FALSE(bytes.empty()) << name;
    }
    std::string eucJp;
    ASSERT_TRUE(WideToMultiByte(eucJp, L"\u3042", CharsetToCodePage(L"euc-jp")));
    EXPECT_EQ("\xA4\xA2", eucJp);
}

TEST(Charset, Iso2022JpConverts)
{
    if (!::IsValidCodePage(50220)) GTEST_SKIP() << "code page 50220 is not installed here (Wine lacks it)";
    std::string bytes;
    EXPECT_TRUE(WideToMultiByte(bytes, L"\u3042", CharsetToCodePage(L"ISO-2022-JP")));
    EXPECT_NE(std::string::npos, bytes.find("\x1B$B"));
}

TEST(Charset, ConversionsAreSizedByTheirOwnLength)
{
    std::string bytes = "unchanged";
    EXPECT_TRUE(WideToMultiByte(bytes, L"", CP_UTF8));
    EXPECT_TRUE(bytes.empty());

    // Three UTF-8 bytes a character: more than two a character still converts.
    ASSERT_TRUE(WideToMultiByte(bytes, std::wstring(1000, L'\u3042'), CP_UTF8));
    EXPECT_EQ(3000u, bytes.size());
    EXPECT_EQ("\xE3\x81\x82", bytes.substr(2997));
    ASSERT_TRUE(WideToMultiByte(bytes, std::wstring(1000, L'\u3042'), 932));
    EXPECT_EQ(2000u, bytes.size());

    // The limit stays at 1 MiB of output.
    ASSERT_TRUE(WideToMultiByte(bytes, std::wstring(kMaxConvertedBytes, L'a'), CP_UTF8));
    EXPECT_EQ(kMaxConvertedBytes, bytes.size());
    bytes = "unchanged";
    EXPECT_FALSE(WideToMultiByte(bytes, std::wstring(kMaxConvertedBytes / 3 + 1, L'\u3042'), CP_UTF8));
    EXPECT_EQ("unchanged", bytes);
    EXPECT_FALSE(WideToMultiByte(bytes, std::wstring(kMaxConvertedBytes + 1, L'a'), CP_UTF8));
    EXPECT_EQ("unchanged", bytes);

    // A code page that cannot convert is a failure, never an empty result.
    EXPECT_FALSE(WideToMultiByte(bytes, L"abc", 51932));
    EXPECT_EQ("unchanged", bytes);
}

TEST(Charset, ConversionIntoABuffer)
{
    char buffer[8] = "xxxxxxx";
    EXPECT_EQ(buffer, WideToMultiByteBuffer(buffer, L"abc", 8, CP_UTF8));
    EXPECT_STREQ("abc", buffer);
    EXPECT_EQ(nullptr, WideToMultiByteBuffer(buffer, L"\u3042\u3042\u3042", 8, CP_UTF8));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ(nullptr, WideToMultiByteBuffer(nullptr, L"a", 8, CP_UTF8));
    EXPECT_EQ(nullptr, WideToMultiByteBuffer(buffer, nullptr, 8, CP_UTF8));
}

} // namespace
