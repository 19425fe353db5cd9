// The hand-over's search for the running instance; the two-process road runs end to end.
#include "app/Startup.h"

#include <gtest/gtest.h>

TEST(SingleInstance, HandOverGoesToTheLastWindowEnumeratedWithTheWholeTitle)
{
    const wchar_t* title = L"Fernhollow hand-over test";
    HWND a = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    HWND b = ::CreateWindowExW(0, L"STATIC", title, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    struct Order {
        HWND a, b, last;
    } order{a, b, nullptr};
    ::EnumWindows(
        [](HWND hWnd, LPARAM param) -> BOOL {
            auto* o = reinterpret_cast<Order*>(param);
            if (hWnd == o->a || hWnd == o->b) o->last = hWnd;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&order));
    CWindowSearch search;
    search.m_text = title;
    ::EnumWindows(FindWindowByText, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.m_found, order.last);

    search.m_text = L"Fernhollow hand-over tes";
    search.m_found = nullptr;
    ::EnumWindows(FindWindowByText, reinterpret_cast<LPARAM>(&search));
    EXPECT_EQ(search.m_found, nullptr) << "the title must match whole";
    ::DestroyWindow(a);
    ::DestroyWindow(b);
}
