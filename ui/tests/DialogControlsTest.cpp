#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "ids/foundation.h"
#include "resource.h"
#include "ui/DialogControls.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(DialogControls, TextNotBlank)
{
    CTestHost host;
    const HWND edit = host.Child(L"Edit", 0, 1001);
    struct Case {
        const wchar_t* text;
        const wchar_t* result;
    };
    const Case cases[] = {
        {L"abc", L"abc"},
        {L" \x3000 abc \t\r\n", L"abc"},
        {L"\x3000x\x3000y\x3000", L"x\x3000y"},
        {L"\x3000\x3000", nullptr},
        {L" \t ", nullptr},
        {L"", nullptr},
    };
    for (const auto& c : cases) {
        ::SetWindowTextW(edit, c.text);
        std::wstring out = L"old";
        if (c.result) {
            EXPECT_EQ(GetControlTextNotBlank(out, IDS_PRODUCT_NAME, edit), c.result);
            EXPECT_EQ(out, c.result);
            continue;
        }
        try {
            GetControlTextNotBlank(out, IDS_PRODUCT_NAME, edit);
            ADD_FAILURE() << "no exception";
        } catch (const my::CCtrlException& e) {
            EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_PRODUCT_NAME));
            EXPECT_EQ(e.GetHwnd(), edit);
            EXPECT_EQ(e.m_message, LoadResString(IDS_PRODUCT_NAME));
        }
        EXPECT_EQ(out, L"old");
    }

    ::DestroyWindow(edit);
    try {
        std::wstring out;
        GetControlTextNotBlank(out, IDS_PRODUCT_NAME, edit);
        ADD_FAILURE() << "no exception";
    } catch (const my::CCtrlException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CONTROL_TEXT_ERROR));
        EXPECT_EQ(e.GetHwnd(), edit);
        std::wstring expected;
        FormatResString(expected, IDS_CONTROL_TEXT_ERROR, L"0");
        EXPECT_EQ(e.m_message, expected);
    }
}

TEST(DialogControls, GeometryInTheParent)
{
    CTestHost host;
    const HWND child = host.Child(L"Static", 0, 77, RECT{10, 20, 40, 60});
    RECT rect{};
    ASSERT_TRUE(GetControlRectInParent(child, rect));
    EXPECT_EQ(rect.left, 10);
    EXPECT_EQ(rect.top, 20);
    EXPECT_EQ(rect.right, 40);
    EXPECT_EQ(rect.bottom, 60);
    POINT point{};
    ASSERT_TRUE(GetRightEdgePoint(child, 5, point));
    EXPECT_EQ(point.x, 35);
    EXPECT_EQ(point.y, 20);
    EXPECT_EQ(GetControlId(child), 77);
    EXPECT_EQ(GetControlParent(child), host.Handle());

    RECT screen{};
    ::GetWindowRect(child, &screen);
    ASSERT_TRUE(ScreenToClientRect(host.Handle(), screen));
    EXPECT_EQ(screen.left, 10);
    EXPECT_EQ(screen.bottom, 60);

    EXPECT_FALSE(GetControlRectInParent(host.Handle(), rect)) << "a top-level window has no parent";
    EXPECT_FALSE(GetRightEdgePoint(host.Handle(), 5, point));
}

TEST(DialogControls, AlignOffset)
{
    struct Case {
        int mode, start, extent, size, expected;
    };
    const Case cases[] = {
        {0, 10, 100, 30, 10}, {1, 10, 100, 30, 80}, {2, 10, 100, 30, 45},
        {2, 0, 5, 2, 1},      {3, 10, 100, 30, 10}, {-1, 7, 100, 30, 7},
        {1, 0, 10, 30, -20},
    };
    for (const auto& c : cases) EXPECT_EQ(AlignOffset(c.mode, c.start, c.extent, c.size), c.expected);
}
