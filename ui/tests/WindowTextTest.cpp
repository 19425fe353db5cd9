#include "foundation/ResString.h"
#include "resource.h"
#include "ui/WindowW.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(WindowText, RoundTripsLongAndJapaneseText)
{
    CTestHost host;
    CWindowW window(host.Handle());
    std::wstring longText;
    for (int i = 0; i < 70000; ++i) longText.push_back(static_cast<wchar_t>(L'a' + i % 26));
    const std::wstring texts[] = {
        L"", L"x", L"ファイルの移動 – 日本語のテキスト", longText, L"𠮷野家 surrogate pair", L"line1\r\nline2",
    };
    for (const auto& text : texts) {
        SCOPED_TRACE(text.size());
        ASSERT_TRUE(window.SetWindowText(text));
        std::wstring read = L"old";
        ASSERT_TRUE(window.GetWindowText(read));
        EXPECT_EQ(read, text);
        EXPECT_EQ(static_cast<int>(read.size()), ::GetWindowTextLengthW(host.Handle()));
    }

    const HWND edit = host.Child(L"Edit", ES_MULTILINE);
    CWindowW editWindow(edit);
    ASSERT_TRUE(editWindow.SetWindowText(L"編集コントロール\r\n二行目"));
    std::wstring read;
    ASSERT_TRUE(editWindow.GetWindowText(read));
    EXPECT_EQ(read, L"編集コントロール\r\n二行目");
}

TEST(WindowText, TrimmedRead)
{
    CTestHost host;
    CWindowW window(host.Handle());
    struct Case {
        const wchar_t* text;
        const wchar_t* trimmed;
    };
    const Case cases[] = {
        {L"   ", L""},
        {L" \t\r\n text \r\n", L"text"},
        {L"a b", L"a b"},
        {L"\r\r", L""},
    };
    for (const auto& c : cases) {
        window.SetWindowText(c.text);
        std::wstring out;
        EXPECT_TRUE(window.GetWindowTextTrim(out, true));
        EXPECT_EQ(out, c.trimmed);
        EXPECT_TRUE(window.GetWindowTextTrim(out, false));
        EXPECT_EQ(out, c.text);
    }
}

TEST(WindowText, SkipIfSameSendsNoMessage)
{
    CTestHost host;
    CWindowW window(host.Handle());
    ASSERT_TRUE(window.SetWindowText(L"same"));
    g_setTextCount = 0;
    EXPECT_TRUE(window.SetWindowText(L"same", true));
    EXPECT_EQ(g_setTextCount, 0);
    EXPECT_TRUE(window.SetWindowText(std::wstring(L"same"), true));
    EXPECT_EQ(g_setTextCount, 0);
    EXPECT_TRUE(window.SetWindowText(L"same", false));
    EXPECT_EQ(g_setTextCount, 1);
    EXPECT_TRUE(window.SetWindowText(L"Same", true));
    EXPECT_EQ(g_setTextCount, 2);
    // The comparison is made after the line ends are converted.
    window.SetWindowText(L"a\r\nb");
    g_setTextCount = 0;
    EXPECT_TRUE(window.SetWindowText(L"a\nb", true, true));
    EXPECT_EQ(g_setTextCount, 0);
}

TEST(WindowText, LineEndConversion)
{
    struct Case {
        const wchar_t* in;
        const wchar_t* out;
    };
    const Case cases[] = {
        {L"", L""},
        {L"a\nb", L"a\r\nb"},
        {L"a\r\nb", L"a\r\nb"},
        {L"\n\n", L"\r\n\r\n"},
        {L"a\rb", L"a\rb"},
        {L"a\rb\nc", L"a\rb\r\nc"},
        {L"\r\r\n", L"\r\r\n"},
        {L"日本\n語", L"日本\r\n語"},
    };
    CTestHost host;
    CWindowW window(host.Handle());
    for (const auto& c : cases) {
        std::wstring out = L"old";
        LfToCrLf(out, c.in);
        EXPECT_EQ(out, c.out);
        ASSERT_TRUE(window.SetWindowText(c.in, false, true));
        std::wstring read;
        window.GetWindowText(read);
        EXPECT_EQ(read, c.out);
    }
}

TEST(WindowText, TextFromTheStringTable)
{
    CTestHost host;
    CWindowW window(host.Handle());
    ASSERT_TRUE(window.SetWindowTextId(IDS_PRODUCT_NAME));
    std::wstring read;
    window.GetWindowText(read);
    EXPECT_EQ(read, LoadResString(IDS_PRODUCT_NAME));
    ASSERT_TRUE(window.SetWindowTextId(0));
    window.GetWindowText(read);
    EXPECT_TRUE(read.empty());

    window.SetWindowText(L"  body \r\n");
    ASSERT_TRUE(window.AddTextPrefix(IDS_MAKER_NAME, IDS_PRODUCT_NAME));
    window.GetWindowText(read);
    EXPECT_EQ(read, LoadResString(IDS_MAKER_NAME) + LoadResString(IDS_PRODUCT_NAME) + L"body");

    window.SetWindowText(L" body ");
    ASSERT_TRUE(window.AddTextSuffix(IDS_MAKER_NAME, IDS_PRODUCT_NAME));
    window.GetWindowText(read);
    EXPECT_EQ(read, L"body" + LoadResString(IDS_PRODUCT_NAME) + LoadResString(IDS_MAKER_NAME));
}

TEST(WindowText, FormatsWithItsOwnTextAsTheFormat)
{
    CTestHost host;
    CWindowW window(host.Handle());
    window.SetWindowText(L"%s ドライブ: %d 個");
    ASSERT_TRUE(window.FormatWindowText(L"E:", 12));
    std::wstring read;
    window.GetWindowText(read);
    EXPECT_EQ(read, L"E: ドライブ: 12 個");

    // A long argument is cut to the buffer instead of overflowing it.
    window.SetWindowText(L"[%s]");
    const std::wstring big(5000, L'z');
    ASSERT_TRUE(window.FormatWindowText(big.c_str()));
    window.GetWindowText(read);
    EXPECT_EQ(read.size(), 4u + 1024u - 1u);
    EXPECT_EQ(read.substr(0, 3), L"[zz");
}

TEST(WindowText, DestroyedWindowReportsFailure)
{
    HWND gone = nullptr;
    {
        CTestHost host;
        gone = host.Handle();
    }
    CWindowW window(gone);
    std::wstring read = L"old";
    EXPECT_FALSE(window.GetWindowText(read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(window.GetWindowTextTrim(read, true));
    EXPECT_FALSE(window.SetWindowText(L"x"));
    EXPECT_FALSE(window.FormatWindowText(1));
}

TEST(WindowText, Equality)
{
    EXPECT_TRUE(EqualsText(L"", L""));
    EXPECT_TRUE(EqualsText(L"", nullptr));
    EXPECT_TRUE(EqualsText(L"abc", L"abc"));
    EXPECT_FALSE(EqualsText(L"abc", L"abC"));
    EXPECT_FALSE(EqualsText(L"abc", L"ab"));
    EXPECT_FALSE(EqualsText(std::wstring(L"ab\0c", 4), L"ab"));
}
