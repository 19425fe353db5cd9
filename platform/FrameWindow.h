#pragma once
// Top-level frame window: menu, icons and title from one resource id, a client window laid out
// under the bars, and the end of the message loop when a top-level frame is destroyed.
#include "WindowImpl.h"

namespace WTL {

struct CFrameWndClassInfo : ATL::CWndClassInfo {
    UINT m_uCommonResourceID;
};

#define DECLARE_FRAME_WND_CLASS(WndClassName, CommonResourceID)                                                        \
    static WTL::CFrameWndClassInfo& GetWndClassInfo()                                                                  \
    {                                                                                                                  \
        static WTL::CFrameWndClassInfo wc = {                                                                          \
            {{sizeof(WNDCLASSEXW), 0, nullptr, 0, 0, nullptr, nullptr, nullptr,                                        \
              reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1)), nullptr, WndClassName, nullptr},       \
             IDC_ARROW,                                                                                                \
             0,                                                                                                        \
             {}},                                                                                                      \
            CommonResourceID};                                                                                         \
        return wc;                                                                                                     \
    }

template <class T, class TBase = ATL::CWindow, class TWinTraits = ATL::CFrameWinTraits>
class CFrameWindowImpl : public ATL::CWindowImplBaseT<TBase, TWinTraits> {
public:
    DECLARE_FRAME_WND_CLASS(nullptr, 0)

    HWND m_hWndToolBar = nullptr;
    HWND m_hWndStatusBar = nullptr;
    HWND m_hWndClient = nullptr;
    HACCEL m_hAccel = nullptr;

    // Creates the frame with the menu, icons and title of the class's common resource id.
    HWND CreateEx(HWND parent = nullptr, const RECT& rect = ATL::CWindow::rcDefault, DWORD style = 0, DWORD exStyle = 0,
                  LPVOID param = nullptr)
    {
        CFrameWndClassInfo& info = T::GetWndClassInfo();
        const UINT resourceId = info.m_uCommonResourceID;
        HINSTANCE resources = ATL::GetResourceInstanceHandle();
        if (!info.m_atom && resourceId) {
            info.m_wc.hIcon = static_cast<HICON>(::LoadImageW(resources, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                              ::GetSystemMetrics(SM_CXICON),
                                                              ::GetSystemMetrics(SM_CYICON), LR_DEFAULTCOLOR));
            info.m_wc.hIconSm = static_cast<HICON>(::LoadImageW(resources, MAKEINTRESOURCEW(resourceId), IMAGE_ICON,
                                                                ::GetSystemMetrics(SM_CXSMICON),
                                                                ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
        }
        ATOM atom = info.Register(this->GetWindowProc());
        wchar_t title[256] = L"";
        if (resourceId) ::LoadStringW(resources, resourceId, title, 256);
        HMENU menu = resourceId ? ::LoadMenuW(resources, MAKEINTRESOURCEW(resourceId)) : nullptr;
        style = T::GetWndStyle(style);
        exStyle = T::GetWndExStyle(exStyle);
        HWND hWnd = ATL::CWindowImplBaseT<TBase, TWinTraits>::Create(parent, rect, title, style, exStyle, menu, atom,
                                                                     param);
        if (!hWnd && menu) ::DestroyMenu(menu);
        if (hWnd && resourceId) m_hAccel = ::LoadAcceleratorsW(resources, MAKEINTRESOURCEW(resourceId));
        return hWnd;
    }

    // Places the tool bar and the status bar, then the client window over the rest.
    void UpdateLayout(BOOL resizeBars = TRUE)
    {
        RECT rect{};
        this->GetClientRect(&rect);
        if (m_hWndToolBar && (::GetWindowLongPtrW(m_hWndToolBar, GWL_STYLE) & WS_VISIBLE)) {
            if (resizeBars) ::SendMessageW(m_hWndToolBar, WM_SIZE, 0, 0);
            RECT bar{};
            ::GetWindowRect(m_hWndToolBar, &bar);
            rect.top += bar.bottom - bar.top;
        }
        if (m_hWndStatusBar && (::GetWindowLongPtrW(m_hWndStatusBar, GWL_STYLE) & WS_VISIBLE)) {
            if (resizeBars) ::SendMessageW(m_hWndStatusBar, WM_SIZE, 0, 0);
            RECT bar{};
            ::GetWindowRect(m_hWndStatusBar, &bar);
            rect.bottom -= bar.bottom - bar.top;
        }
        if (m_hWndClient)
            ::SetWindowPos(m_hWndClient, nullptr, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    }

    BEGIN_MSG_MAP(CFrameWindowImpl)
        MESSAGE_HANDLER(WM_SIZE, OnFrameSize)
        MESSAGE_HANDLER(WM_ERASEBKGND, OnFrameEraseBackground)
        MESSAGE_HANDLER(WM_SETFOCUS, OnFrameSetFocus)
        MESSAGE_HANDLER(WM_DESTROY, OnFrameDestroy)
    END_MSG_MAP()

private:
    LRESULT OnFrameSize(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
    {
        if (wParam != SIZE_MINIMIZED) static_cast<T*>(this)->UpdateLayout();
        bHandled = FALSE;
        return 1;
    }
    LRESULT OnFrameEraseBackground(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (m_hWndClient) return 1; // the client covers everything
        bHandled = FALSE;
        return 0;
    }
    LRESULT OnFrameSetFocus(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if (m_hWndClient) ::SetFocus(m_hWndClient);
        bHandled = FALSE;
        return 1;
    }
    LRESULT OnFrameDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
    {
        if ((this->GetStyle() & (WS_CHILD | WS_POPUP)) == 0) ::PostQuitMessage(1);
        bHandled = FALSE;
        return 1;
    }
};

} // namespace WTL
