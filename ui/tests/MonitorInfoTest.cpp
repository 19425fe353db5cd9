#include "ui/MonitorInfo.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

} // namespace

TEST(MonitorInfo, PrimaryMonitorWhateverTheCursor)
{
    const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    RECT workArea{};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const POINT cursors[] = {{5, 5}, {screen.right - 2, screen.bottom - 2}};
    for (POINT cursor : cursors) {
        ::SetCursorPos(cursor.x, cursor.y);
        MONITORINFOEXW info{};
        ASSERT_TRUE(GetPrimaryMonitorInfo(info));
        EXPECT_EQ(info.cbSize, sizeof(MONITORINFOEXW));
        EXPECT_TRUE(info.dwFlags & MONITORINFOF_PRIMARY);
        EXPECT_TRUE(SameRect(info.rcMonitor, screen)) << RectToText(info.rcMonitor);
        EXPECT_TRUE(SameRect(info.rcWork, workArea)) << RectToText(info.rcWork);
        EXPECT_NE(info.szDevice[0], L'\0');
    }
}

TEST(MonitorInfo, LookupsAgreeOnTheOneMonitor)
{
    CTestHost host;
    MONITORINFOEXW primary{};
    ASSERT_TRUE(GetPrimaryMonitorInfo(primary));
    MONITORINFOEXW info{};
    ASSERT_TRUE(GetMonitorInfoFromWindow(host.Handle(), MONITOR_DEFAULTTONEAREST, info));
    EXPECT_STREQ(info.szDevice, primary.szDevice);
    ASSERT_TRUE(GetMonitorInfoFromPoint(POINT{10, 10}, MONITOR_DEFAULTTONULL, info));
    EXPECT_STREQ(info.szDevice, primary.szDevice);
    ASSERT_TRUE(GetMonitorInfoFromRect(RECT{0, 0, 50, 50}, MONITOR_DEFAULTTONULL, info));
    EXPECT_TRUE(SameRect(info.rcMonitor, primary.rcMonitor));
    ASSERT_TRUE(GetMonitorInfoFromMessagePos(MONITOR_DEFAULTTONEAREST, info));
    EXPECT_STREQ(info.szDevice, primary.szDevice);
    ASSERT_TRUE(GetMonitorInfoFromHandle(::MonitorFromWindow(host.Handle(), MONITOR_DEFAULTTOPRIMARY), info));

    EXPECT_FALSE(GetMonitorInfoFromPoint(POINT{-30000, -30000}, MONITOR_DEFAULTTONULL, info));
    EXPECT_FALSE(GetMonitorInfoFromHandle(nullptr, info));
}

TEST(MonitorInfo, TextForms)
{
    EXPECT_EQ(PointToText(POINT{1, -2}), L"(1, -2)");
    EXPECT_EQ(RectToText(RECT{0, 10, 1280, 1024}), L"(0, 10)-(1280, 1024)");
    MONITORINFOEXW info{};
    info.cbSize = sizeof(info);
    wcscpy(info.szDevice, L"\\\\.\\DISPLAY1");
    info.rcMonitor = RECT{0, 0, 800, 600};
    info.rcWork = RECT{0, 0, 800, 570};
    info.dwFlags = MONITORINFOF_PRIMARY;
    EXPECT_EQ(MonitorInfoToText(info),
              L"\\\\.\\DISPLAY1, rcMonitor: (0, 0)-(800, 600), rcWork: (0, 0)-(800, 570), Flags: 1");
}
