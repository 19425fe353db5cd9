#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

TEST(StringLoader, TextsAroundTheBufferSizesComeBackWhole)
{
    // Test-only strings of exact lengths around the loader's growing buffer.
    const struct {
        UINT id;
        size_t length;
    } cases[] = {{64000, 254}, {64001, 255}, {64002, 2559}, {64003, 3000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        std::wstring expected;
        for (size_t i = 0; i < c.length; ++i) expected.push_back(static_cast<wchar_t>(L'a' + i % 26));
        std::wstring text;
        LoadResString(text, c.id, true);
        EXPECT_EQ(text, expected);
    }
}

TEST(StringLoader, MissingIdThrowsMessageNamingTheIdOrGivesEmptyText)
{
    std::wstring text = L"previous";
    LoadResString(text, 65000, false);
    EXPECT_TRUE(text.empty());
    try {
        LoadResString(text, 65000, true);
        FAIL() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_RESOURCE_STRING_MISSING));
        const std::wstring prefix = ByLanguage(L"Resource string is missing - ", L"文字列リソースが見つかりません - ");
        EXPECT_EQ(e.m_message.substr(0, prefix.size()), prefix);
        EXPECT_NE(e.m_message.find(L"ID: 65000"), std::wstring::npos) << e.m_message;
    }
    // An exception built for a missing id throws that error from its constructor.
    try {
        my::CException e(65001);
        FAIL() << "constructed";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_RESOURCE_STRING_MISSING));
        EXPECT_NE(e.m_message.find(L"65001"), std::wstring::npos);
    }
}

TEST(FormatResString, WideArgumentsArriveWholeAndOverlongResultsAreCut)
{
    std::wstring out;
    const std::wstring first = L"ドライブ E:\\写真";
    const std::wstring second(600, L'é');
    ASSERT_TRUE(FormatResString(out, 64010, first.c_str(), second.c_str()));
    EXPECT_EQ(out, first + L"|" + second);

    // The buffer is the template plus 1023 characters.
    const std::wstring huge(5000, L'x');
    FormatResString(out, 64010, huge.c_str(), L"tail");
    EXPECT_EQ(out, huge.substr(0, std::wstring(L"%s|%s").size() + 1023));
}

TEST(FormatHResultMessage, SystemTextsAndUnknownCodes)
{
    std::wstring text;
    // ERROR_BAD_EXE_FORMAT's text holds "%1"; without ignoring inserts it would fail to format.
    for (HRESULT known : {static_cast<HRESULT>(0x80070005), HResultFromWin32(ERROR_BAD_EXE_FORMAT)}) {
        FormatHResultMessage(text, known);
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find(L"Unknown HRESULT"), std::wstring::npos) << text;
    }
    FormatHResultMessage(text, static_cast<HRESULT>(0x1234ABCD));
    EXPECT_EQ(text, L"Unknown HRESULT: 1234abcd");
    // Facility 8 is looked up by its low 16 bits.
    FormatHResultMessage(text, static_cast<HRESULT>(0x8008ABCD));
    EXPECT_EQ(text, L"Unknown HRESULT: abcd");

    EXPECT_EQ(HResultFromWin32(0), 0);
    EXPECT_EQ(HResultFromWin32(5), static_cast<HRESULT>(0x80070005));
    EXPECT_EQ(HResultFromWin32(0x12345), static_cast<HRESULT>(0x80072345));
    EXPECT_EQ(HResultFromWin32(0x80004005), static_cast<HRESULT>(0x80004005));
}
