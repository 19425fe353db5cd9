#pragma once
// Real windows for the tests: a top-level host with children, destroyed afterwards. The host stays
// hidden: without a window manager Wine waits 2 s for a shown window to be withdrawn.
#include <windows.h>

class CTestHost {
public:
    CTestHost()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ::DefWindowProcW;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"FhTestHost";
        ::RegisterClassW(&wc);
        m_hWnd = ::CreateWindowExW(0, L"FhTestHost", L"host", WS_OVERLAPPEDWINDOW, 100, 100, 400, 300, nullptr, nullptr,
                                   wc.hInstance, nullptr);
    }
    ~CTestHost()
    {
        if (::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);
    }
    HWND Child(const wchar_t* className, DWORD style = 0, int id = 0, RECT rect = {10, 10, 110, 40}) const
    {
        return ::CreateWindowExW(0, className, L"", WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ::GetModuleHandleW(nullptr),
                                 nullptr);
    }
    HWND Handle() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};
