#pragma once
// Keeps a dialog's controls in place as it is resized: each listed control stretches or moves
// with the right and bottom edges by the amount the client area grew since initialisation.
// T supplies `static const WTL::DlgResizeItem* GetDlgResizeMap()` ended by an item with id 0, and
// chains this class's message map.
#include "MessageMap.h"

#include <windows.h>

#include <vector>

namespace WTL {

enum : DWORD { DLSZ_SIZE_X = 1, DLSZ_SIZE_Y = 2, DLSZ_MOVE_X = 4, DLSZ_MOVE_Y = 8 };

struct DlgResizeItem {
    int id;
    DWORD flags;
};

template <class T> class CDialogResize {
public:
    static constexpr int kGripperId = 0x2FFF;

    // Records the controls' rectangles and the client size they belong to; the minimum track
    // size is the window size at this point.
    void DlgResize_Init(bool gripper = true, bool useMinTrackSize = true, DWORD forceStyle = WS_CLIPCHILDREN)
    {
        HWND dialog = static_cast<T*>(this)->m_hWnd;
        if (forceStyle) ::SetWindowLongPtrW(dialog, GWL_STYLE, ::GetWindowLongPtrW(dialog, GWL_STYLE) | forceStyle);
        RECT client{};
        ::GetClientRect(dialog, &client);
        m_clientSize = SIZE{client.right, client.bottom};
        RECT window{};
        ::GetWindowRect(dialog, &window);
        m_minTrackSize = SIZE{window.right - window.left, window.bottom - window.top};
        m_useMinTrackSize = useMinTrackSize;

        m_items.clear();
        if (gripper && !m_gripper) {
            const int cx = ::GetSystemMetrics(SM_CXVSCROLL), cy = ::GetSystemMetrics(SM_CYHSCROLL);
            m_gripper = ::CreateWindowExW(
                0, L"SCROLLBAR", nullptr,
                WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, client.right - cx,
                client.bottom - cy, cx, cy, dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGripperId)),
                ::GetModuleHandleW(nullptr), nullptr);
            if (m_gripper) Remember(m_gripper, DLSZ_MOVE_X | DLSZ_MOVE_Y);
        }
        for (const DlgResizeItem* item = T::GetDlgResizeMap(); item && item->id; ++item) {
            if (HWND control = ::GetDlgItem(dialog, item->id)) Remember(control, item->flags);
        }
    }

    SIZE GetInitialClientSize() const { return m_clientSize; }
    SIZE GetMinTrackSize() const { return m_minTrackSize; }

    BEGIN_MSG_MAP(CDialogResize)
        MESSAGE_HANDLER(WM_SIZE, OnSize)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
    END_MSG_MAP()

private:
    struct Item {
        HWND window;
        DWORD flags;
        RECT rect;
    };

    void Remember(HWND control, DWORD flags)
    {
        RECT rect{};
        ::GetWindowRect(control, &rect);
        ::MapWindowPoints(nullptr, static_cast<T*>(this)->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
        m_items.push_back(Item{control, flags, rect});
    }

    LRESULT OnSize(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
    {
        bHandled = FALSE;
        if (m_items.empty() || wParam == SIZE_MINIMIZED) return 0;
        const int dx = static_cast<short>(LOWORD(lParam)) - m_clientSize.cx;
        const int dy = static_cast<short>(HIWORD(lParam)) - m_clientSize.cy;
        HDWP batch = ::BeginDeferWindowPos(static_cast<int>(m_items.size()));
        for (const Item& item : m_items) {
            RECT r = item.rect;
            if (item.flags & DLSZ_SIZE_X) r.right += dx;
            if (item.flags & DLSZ_SIZE_Y) r.bottom += dy;
            if (item.flags & DLSZ_MOVE_X) OffsetRect(&r, dx, 0);
            if (item.flags & DLSZ_MOVE_Y) OffsetRect(&r, 0, dy);
            if (r.right < r.left) r.right = r.left;
            if (r.bottom < r.top) r.bottom = r.top;
            const UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
            if (batch)
                batch = ::DeferWindowPos(batch, item.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                                         flags);
            else
                ::SetWindowPos(item.window, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, flags);
        }
        if (batch) ::EndDeferWindowPos(batch);
        if (m_gripper) ::ShowWindow(m_gripper, wParam == SIZE_MAXIMIZED ? SW_HIDE : SW_SHOW);
        return 0;
    }

    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
    {
        bHandled = FALSE;
        if (m_useMinTrackSize && m_minTrackSize.cx > 0) {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            info->ptMinTrackSize.x = m_minTrackSize.cx;
            info->ptMinTrackSize.y = m_minTrackSize.cy;
        }
        return 0;
    }

    std::vector<Item> m_items;
    SIZE m_clientSize{0, 0};
    SIZE m_minTrackSize{0, 0};
    bool m_useMinTrackSize = true;
    HWND m_gripper = nullptr;
};

} // namespace WTL
