#include "ui/DialogControls.h"
#include "foundation/Exception.h"
#include "ids/foundation.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(DialogControls, TextNotBlankTrimsIdeographicSpacesAndNamesTheControl)
{
    CTestHost host;
    const HWND edit = host.Child(L"Edit", 0, 1001);
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"abc", L"abc"}, {L" \x3000 abc \t\r\n", L"abc"}, {L"\x3000x\x3000y\x3000", L"x\x3000y"}};
    for (const auto& [text, result] : cases) {
        ::SetWindowTextW(edit, text);
        std::wstring out;
        EXPECT_EQ(GetControlTextNotBlank(out, IDS_NO_SELECTION, edit), result);
    }
    ::SetWindowTextW(edit, L"\x3000 \t\x3000\r\n");
    std::wstring out = L"old";
    try {
        GetControlTextNotBlank(out, IDS_NO_SELECTION, edit);
        ADD_FAILURE() << "no exception";
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_NO_SELECTION));
        EXPECT_EQ(e.GetHwnd(), edit);
    }
    EXPECT_EQ(out, L"old");
}
