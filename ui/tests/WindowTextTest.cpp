#include "ui/WindowW.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(WindowText, RoundTripsLongAndJapaneseTextAndTellsEmptyFromFailure)
{
    CTestHost host;
    CWindowW window(host.Handle());
    const std::wstring texts[] = {L"", L" \t ファイルの移動 – 日本語\r\n", std::wstring(70000, L'a'),
                                  L"𠮷野家 surrogate pair"};
    for (const std::wstring& text : texts) {
        SCOPED_TRACE(text.size());
        ASSERT_TRUE(window.SetWindowText(text));
        std::wstring read = L"old";
        ASSERT_TRUE(window.GetWindowText(read));
        EXPECT_EQ(read, text);
    }
    std::wstring read;

    // A format in the window's own text; what does not fit its length plus 1024 is cut.
    const std::wstring format = L"%s ドライブ: %d 個 [%s]";
    window.SetWindowText(format);
    ASSERT_TRUE(window.FormatWindowText(L"E:", 12, std::wstring(5000, L'z').c_str()));
    window.GetWindowText(read);
    EXPECT_EQ(read.size(), format.size() + 1024 - 1);
    EXPECT_EQ(read.substr(0, 16), L"E: ドライブ: 12 個 [z");

    ::DestroyWindow(host.Handle());
    read = L"old";
    EXPECT_FALSE(window.GetWindowText(read));
    EXPECT_TRUE(read.empty());
    EXPECT_FALSE(window.SetWindowText(L"x"));
}

TEST(WindowText, ACrCoversOnlyTheLfRightAfterIt)
{
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"", L""},         {L"a\nb", L"a\r\nb"},   {L"a\r\nb", L"a\r\nb"},     {L"\n\n", L"\r\n\r\n"},
        {L"a\rb", L"a\rb"}, {L"\r\r\n", L"\r\r\n"}, {L"a\rb\nc", L"a\rb\r\nc"}, {L"日本\n語", L"日本\r\n語"},
    };
    for (const auto& [in, out] : cases) {
        std::wstring converted = L"old";
        LfToCrLf(converted, in);
        EXPECT_EQ(converted, out);
    }
}
