#pragma once
// Placement of a frame from its settings: normal bounds kept inside the virtual screen,
// maximized or full screen, and the bounds of the normal state kept up to date.
#include "app/Setting.h"
#include "ui/MonitorInfo.h"

#include <windows.h>

template <class T, UINT PlacementDoneMessage> class CFullScreenManager {
public:
    virtual ~CFullScreenManager() = default;

    // Places the window (width and height > 0 resize an empty placement; center centres it in
    // the parent) and posts PlacementDoneMessage, where OnPlacementDone finishes.
    void ApplyBounds(const CMainFrameSetting& placement, int width, int height, bool center)
    {
        T* self = static_cast<T*>(this);
        if (m_isFullScreen || self->IsZoomed()) return;
        m_pending = &placement;
        RECT rect = placement.NormalBounds;
        if (rect.left == rect.right || rect.top == rect.bottom) {
            if ((width < 1 || height < 1) && !center) {
                self->PostMessage(PlacementDoneMessage);
                return;
            }
            self->GetWindowRect(&rect);
            if (width > 0 && height > 0) {
                rect.right = rect.left + width;
                rect.bottom = rect.top + height;
            }
            if (center) {
                RECT parent{};
                HWND owner = ::GetParent(self->m_hWnd);
                if (owner && ::GetWindowRect(owner, &parent)) {
                    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
                    rect.left = parent.left + ((parent.right - parent.left) - w) / 2;
                    rect.top = parent.top + ((parent.bottom - parent.top) - h) / 2;
                    rect.right = rect.left + w;
                    rect.bottom = rect.top + h;
                }
            }
        } else {
            KeepInsideVirtualScreen(rect);
        }
        if (rect.right > rect.left && rect.bottom > rect.top) {
            self->MoveWindow(&rect, FALSE);
            m_normalBounds = rect;
        }
        self->PostMessage(PlacementDoneMessage);
    }

    virtual void OnPlacementDone()
    {
        T* self = static_cast<T*>(this);
        if (m_pending && m_pending->FullScreen) {
            self->ShowWindow(SW_SHOW);
            if (!m_isFullScreen) {
                SetFullScreen(true);
                OnFullScreenChanged();
            }
        } else {
            if (m_pending && m_pending->Maximized) self->ShowWindow(SW_MAXIMIZE);
            self->ShowWindow(SW_SHOW);
        }
        m_pending = nullptr;
    }

    virtual void OnFullScreenChanged() {}

    void SetFullScreen(bool on)
    {
        T* self = static_cast<T*>(this);
        if (on) {
            m_savedStyle = static_cast<LONG>(self->GetStyle());
            m_savedExStyle = static_cast<LONG>(self->GetExStyle());
            ::SetWindowLongW(self->m_hWnd, GWL_STYLE,
                             m_savedStyle & ~(WS_CAPTION | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX));
            ::SetWindowLongW(self->m_hWnd, GWL_EXSTYLE, m_savedExStyle & ~WS_EX_WINDOWEDGE);
            self->GetWindowRect(&m_savedBounds);
            RECT cover{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
            MONITORINFOEXW monitor{};
            if (GetMonitorInfoFromRect(m_savedBounds, MONITOR_DEFAULTTONEAREST, monitor)) cover = monitor.rcMonitor;
            self->SetWindowPos(nullptr, &cover, SWP_NOZORDER | SWP_FRAMECHANGED);
        } else {
            ::SetWindowLongW(self->m_hWnd, GWL_STYLE, m_savedStyle);
            ::SetWindowLongW(self->m_hWnd, GWL_EXSTYLE, m_savedExStyle);
            self->SetWindowPos(nullptr, &m_savedBounds, SWP_NOZORDER | SWP_FRAMECHANGED);
        }
        m_isFullScreen = on;
    }

    BOOL ProcessWindowMessage(HWND, UINT uMsg, WPARAM, LPARAM, LRESULT& lResult, DWORD = 0)
    {
        T* self = static_cast<T*>(this);
        if (uMsg == PlacementDoneMessage) {
            OnPlacementDone();
            lResult = 0;
            return TRUE;
        }
        if (uMsg == WM_WINDOWPOSCHANGED) {
            if (!m_isFullScreen && !self->IsZoomed() && !self->IsIconic()) self->GetWindowRect(&m_normalBounds);
            // Not handled: the default handling sends WM_SIZE, which lays the frame's client out.
            return FALSE;
        }
        return FALSE;
    }

    const CMainFrameSetting* m_pending = nullptr;
    bool m_isFullScreen = false;
    RECT m_normalBounds{};
    RECT m_savedBounds{};
    LONG m_savedStyle = -1;
    LONG m_savedExStyle = -1;

private:
    // Bottom, top, right, left in that order: for a rectangle larger than the screen the
    // top-left corner wins.
    static void KeepInsideVirtualScreen(RECT& r)
    {
        const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN), top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
        const int right = left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
        const int bottom = top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
        const int w = r.right - r.left, h = r.bottom - r.top;
        if (r.bottom > bottom) {
            r.bottom = bottom;
            r.top = bottom - h;
        }
        if (r.top < top) {
            r.top = top;
            r.bottom = top + h;
        }
        if (r.right > right) {
            r.right = right;
            r.left = right - w;
        }
        if (r.left < left) {
            r.left = left;
            r.right = left + w;
        }
    }
};
