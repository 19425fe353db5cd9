#include "ui/WindowClass.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(WindowClass, FrameBoundsFallBackToTheWindowRectangle)
{
    CTestHost host;
    RECT rect{};
    ASSERT_EQ(GetDwmWindowRect(host.Handle(), rect), S_OK);
    // What the window manager itself says decides which answer is right (Wine has no composition).
    RECT expected{};
    HRESULT dwm = E_NOTIMPL;
    if (HMODULE module = ::LoadLibraryW(L"dwmapi.dll")) {
        using Fn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
        if (auto fn = reinterpret_cast<Fn>(::GetProcAddress(module, "DwmGetWindowAttribute")))
            dwm = fn(host.Handle(), 9, &expected, sizeof(expected));
    }
    if (FAILED(dwm)) ::GetWindowRect(host.Handle(), &expected);
    EXPECT_TRUE(::EqualRect(&rect, &expected));

    HWND gone = host.Child(L"Static");
    ::DestroyWindow(gone);
    EXPECT_EQ(GetDwmWindowRect(gone, rect), HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE));
}
