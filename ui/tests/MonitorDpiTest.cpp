// A monitor's scale as the system tells it, and the screen's where no monitor can be asked.
#include "ui/MonitorDpi.h"

#include "ui/MessageBoxMeasure.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

// The system tells a window's scale by another road (user32, Windows 10 and Wine): a window's
// monitor has that scale, and so has the box it owns. The window stands on the primary monitor,
// whose scale the screen's device context has, the fallback (unless the user changed it since
// signing in).
TEST(MonitorDpi, AMonitorHasTheScaleTheSystemGivesItsWindows)
{
    const auto forWindow = reinterpret_cast<UINT(WINAPI*)(HWND)>(
        ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow"));
    if (!forWindow) GTEST_SKIP() << "this system tells no window's scale (no GetDpiForWindow)";
    const CTestHost host;
    const HMONITOR monitor = ::MonitorFromWindow(host.Handle(), MONITOR_DEFAULTTONEAREST);
    EXPECT_EQ(GetMonitorDpi(monitor), forWindow(host.Handle()));
    EXPECT_EQ(CMessageBoxLayout::Of(host.Handle(), MB_ICONERROR).dpi, GetMonitorDpi(monitor));
    EXPECT_EQ(GetScreenDpi(), GetMonitorDpi(monitor));
    // No monitor to ask: the screen's.
    EXPECT_EQ(GetMonitorDpi(nullptr), GetScreenDpi());
    EXPECT_EQ(CMessageBoxLayout::FromMetrics().dpi, GetScreenDpi());
}
