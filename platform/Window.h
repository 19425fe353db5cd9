#pragma once
// A borrowed window handle with thin member wrappers of the user32 calls.
#include <windows.h>

namespace ATL {

class CWindow {
public:
    static RECT rcDefault;

    CWindow(HWND hWnd = nullptr) noexcept : m_hWnd(hWnd) {}
    CWindow& operator=(HWND hWnd) noexcept
    {
        m_hWnd = hWnd;
        return *this;
    }
    operator HWND() const noexcept { return m_hWnd; }

    void Attach(HWND hWnd) noexcept { m_hWnd = hWnd; }
    HWND Detach() noexcept
    {
        HWND h = m_hWnd;
        m_hWnd = nullptr;
        return h;
    }

    HWND Create(LPCWSTR className, HWND parent, const RECT& rect = rcDefault, LPCWSTR name = nullptr, DWORD style = 0,
                DWORD exStyle = 0, HMENU menuOrId = nullptr, LPVOID param = nullptr)
    {
        m_hWnd = ::CreateWindowExW(exStyle, className, name, style, rect.left, rect.top, rect.right - rect.left,
                                   rect.bottom - rect.top, parent, menuOrId, ::GetModuleHandleW(nullptr), param);
        return m_hWnd;
    }
    BOOL DestroyWindow()
    {
        if (!::DestroyWindow(m_hWnd)) return FALSE;
        m_hWnd = nullptr;
        return TRUE;
    }

    BOOL IsWindow() const noexcept { return ::IsWindow(m_hWnd); }
    BOOL IsWindowVisible() const noexcept { return ::IsWindowVisible(m_hWnd); }
    BOOL IsWindowEnabled() const noexcept { return ::IsWindowEnabled(m_hWnd); }
    BOOL IsIconic() const noexcept { return ::IsIconic(m_hWnd); }
    BOOL IsZoomed() const noexcept { return ::IsZoomed(m_hWnd); }
    BOOL ShowWindow(int cmd) const noexcept { return ::ShowWindow(m_hWnd, cmd); }
    BOOL EnableWindow(BOOL enable = TRUE) const noexcept { return ::EnableWindow(m_hWnd, enable); }
    BOOL UpdateWindow() const noexcept { return ::UpdateWindow(m_hWnd); }
    BOOL Invalidate(BOOL erase = TRUE) const noexcept { return ::InvalidateRect(m_hWnd, nullptr, erase); }
    BOOL SetForegroundWindow() const noexcept { return ::SetForegroundWindow(m_hWnd); }
    BOOL BringWindowToTop() const noexcept { return ::BringWindowToTop(m_hWnd); }
    HWND SetFocus() const noexcept { return ::SetFocus(m_hWnd); }
    HWND GetParent() const noexcept { return ::GetParent(m_hWnd); }
    HWND GetWindow(UINT cmd) const noexcept { return ::GetWindow(m_hWnd, cmd); }
    HWND GetDlgItem(int id) const noexcept { return ::GetDlgItem(m_hWnd, id); }
    int GetDlgCtrlID() const noexcept { return ::GetDlgCtrlID(m_hWnd); }

    LRESULT SendMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::SendMessageW(m_hWnd, msg, w, l); }
    BOOL PostMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const { return ::PostMessageW(m_hWnd, msg, w, l); }

    BOOL SetWindowText(LPCWSTR text) const noexcept { return ::SetWindowTextW(m_hWnd, text); }
    int GetWindowTextLength() const noexcept { return ::GetWindowTextLengthW(m_hWnd); }

    DWORD GetStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_STYLE)); }
    DWORD GetExStyle() const noexcept { return static_cast<DWORD>(::GetWindowLongPtrW(m_hWnd, GWL_EXSTYLE)); }
    BOOL ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const noexcept
    {
        DWORD style = GetStyle();
        DWORD changed = (style & ~remove) | add;
        if (changed == style) return FALSE;
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, changed);
        if (swpFlags)
            ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
        return TRUE;
    }

    BOOL GetClientRect(RECT* rect) const noexcept { return ::GetClientRect(m_hWnd, rect); }
    BOOL GetWindowRect(RECT* rect) const noexcept { return ::GetWindowRect(m_hWnd, rect); }
    BOOL MoveWindow(const RECT* rect, BOOL repaint = TRUE) const noexcept
    {
        return ::MoveWindow(m_hWnd, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, repaint);
    }
    BOOL MoveWindow(int x, int y, int width, int height, BOOL repaint = TRUE) const noexcept
    {
        return ::MoveWindow(m_hWnd, x, y, width, height, repaint);
    }
    BOOL SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const noexcept
    {
        return ::SetWindowPos(m_hWnd, after, x, y, cx, cy, flags);
    }
    BOOL SetWindowPos(HWND after, const RECT* rect, UINT flags) const noexcept
    {
        return ::SetWindowPos(m_hWnd, after, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
                              flags);
    }
    BOOL ScreenToClient(POINT* pt) const noexcept { return ::ScreenToClient(m_hWnd, pt); }
    BOOL ClientToScreen(POINT* pt) const noexcept { return ::ClientToScreen(m_hWnd, pt); }
    BOOL CenterWindow(HWND center = nullptr) const noexcept;

    HMENU GetMenu() const noexcept { return ::GetMenu(m_hWnd); }
    BOOL SetMenu(HMENU menu) const noexcept { return ::SetMenu(m_hWnd, menu); }
    HICON SetIcon(HICON icon, BOOL big = TRUE) const noexcept
    {
        return reinterpret_cast<HICON>(
            ::SendMessageW(m_hWnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapse, TIMERPROC proc = nullptr) const noexcept
    {
        return ::SetTimer(m_hWnd, id, elapse, proc);
    }
    BOOL KillTimer(UINT_PTR id) const noexcept { return ::KillTimer(m_hWnd, id); }
    HFONT GetFont() const noexcept { return reinterpret_cast<HFONT>(::SendMessageW(m_hWnd, WM_GETFONT, 0, 0)); }
    void SetFont(HFONT font, BOOL redraw = TRUE) const noexcept
    {
        ::SendMessageW(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw);
    }
    HWND GetLastActivePopup() const noexcept { return ::GetLastActivePopup(m_hWnd); }

    HWND m_hWnd;
};

inline RECT CWindow::rcDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

// Centres the window on another window, or on its owner or parent, kept inside the work area.
inline BOOL CWindow::CenterWindow(HWND center) const noexcept
{
    if (!center) center = (GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd) : ::GetWindow(m_hWnd, GW_OWNER);
    RECT self{}, around{};
    ::GetWindowRect(m_hWnd, &self);
    MONITORINFO info{sizeof(info)};
    ::GetMonitorInfoW(::MonitorFromWindow(center ? center : m_hWnd, MONITOR_DEFAULTTONEAREST), &info);
    if (center && ::IsWindowVisible(center) && !::IsIconic(center))
        ::GetWindowRect(center, &around);
    else
        around = info.rcWork;
    const int width = self.right - self.left, height = self.bottom - self.top;
    int x = (around.left + around.right - width) / 2, y = (around.top + around.bottom - height) / 2;
    if (x + width > info.rcWork.right) x = info.rcWork.right - width;
    if (x < info.rcWork.left) x = info.rcWork.left;
    if (y + height > info.rcWork.bottom) y = info.rcWork.bottom - height;
    if (y < info.rcWork.top) y = info.rcWork.top;
    if (GetStyle() & WS_CHILD) {
        POINT pt{x, y};
        ::ScreenToClient(::GetParent(m_hWnd), &pt);
        x = pt.x;
        y = pt.y;
    }
    return ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

template <DWORD Style = 0, DWORD ExStyle = 0> class CWinTraits {
public:
    static DWORD GetWndStyle(DWORD style) { return style == 0 ? Style : style; }
    static DWORD GetWndExStyle(DWORD exStyle) { return exStyle == 0 ? ExStyle : exStyle; }
};

using CControlWinTraits = CWinTraits<WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0>;
using CFrameWinTraits =
    CWinTraits<WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_APPWINDOW | WS_EX_WINDOWEDGE>;
using CNullTraits = CWinTraits<0, 0>;

} // namespace ATL
