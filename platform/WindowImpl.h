#pragma once
// Window and dialog implementation templates: a C++ object bound to its HWND, messages
// dispatched through the object's message map.
#include "MessageMap.h"
#include "ModuleInstance.h"
#include "Window.h"
#include "WindowRegistry.h"

#include <cwchar>
#include <iterator>
#include <string>

namespace ATL {

// Window class registration data kept by each window class (DECLARE_WND_CLASS).
struct CWndClassInfo {
    WNDCLASSEXW m_wc;
    LPCWSTR m_lpszCursorID;
    ATOM m_atom;
    std::wstring m_name;

    ATOM Register(WNDPROC proc)
    {
        if (m_atom) return m_atom;
        m_wc.cbSize = sizeof(m_wc);
        m_wc.lpfnWndProc = proc;
        m_wc.hInstance = GetModuleInstanceHandle();
        if (!m_wc.hCursor && m_lpszCursorID) m_wc.hCursor = ::LoadCursorW(nullptr, m_lpszCursorID);
        if (!m_wc.lpszClassName) {
            m_name = L"FH:" + std::to_wstring(reinterpret_cast<UINT_PTR>(this));
            m_wc.lpszClassName = m_name.c_str();
        }
        m_atom = ::RegisterClassExW(&m_wc);
        return m_atom;
    }
};

#define DECLARE_WND_CLASS_EX(WndClassName, style, bkgnd)                                                               \
    static ATL::CWndClassInfo& GetWndClassInfo()                                                                       \
    {                                                                                                                  \
        static ATL::CWndClassInfo wc = {                                                                               \
            {sizeof(WNDCLASSEXW), static_cast<UINT>(style), nullptr, 0, 0, nullptr, nullptr, nullptr,                  \
             reinterpret_cast<HBRUSH>(static_cast<INT_PTR>((bkgnd) + 1)), nullptr, WndClassName, nullptr},             \
            IDC_ARROW,                                                                                                 \
            0,                                                                                                         \
            {}};                                                                                                       \
        return wc;                                                                                                     \
    }

#define DECLARE_WND_CLASS(WndClassName)                                                                                \
    DECLARE_WND_CLASS_EX(WndClassName, CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS, COLOR_WINDOW)

template <class TBase = CWindow> class CWindowImplRoot : public TBase, public CMessageMap {
public:
    enum { WINSTATE_DESTROYED = 1 };

    const MSG* GetCurrentMessage() const noexcept { return m_pCurrentMsg; }

    // Sends a notification back to the child control that raised it, as an OCM_ message.
    LRESULT ReflectNotifications(UINT uMsg, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
    {
        HWND child = nullptr;
        switch (uMsg) {
        case WM_COMMAND:
            if (lParam) child = reinterpret_cast<HWND>(lParam);
            break;
        case WM_NOTIFY: child = reinterpret_cast<LPNMHDR>(lParam)->hwndFrom; break;
        case WM_PARENTNOTIFY:
            if (LOWORD(wParam) == WM_CREATE || LOWORD(wParam) == WM_DESTROY)
                child = reinterpret_cast<HWND>(lParam);
            else
                child = ::GetDlgItem(this->m_hWnd, HIWORD(wParam));
            break;
        case WM_DRAWITEM:
            if (wParam) child = reinterpret_cast<LPDRAWITEMSTRUCT>(lParam)->hwndItem;
            break;
        case WM_MEASUREITEM:
            if (wParam) child = ::GetDlgItem(this->m_hWnd, reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam)->CtlID);
            break;
        case WM_COMPAREITEM:
            if (wParam) child = reinterpret_cast<LPCOMPAREITEMSTRUCT>(lParam)->hwndItem;
            break;
        case WM_DELETEITEM:
            if (wParam) child = reinterpret_cast<LPDELETEITEMSTRUCT>(lParam)->hwndItem;
            break;
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_HSCROLL:
        case WM_VSCROLL:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: child = reinterpret_cast<HWND>(lParam); break;
        default: break;
        }
        if (!child) {
            bHandled = FALSE;
            return 1;
        }
        return ::SendMessageW(child, OCM__BASE + uMsg, wParam, lParam);
    }

    // Reflected messages that the control's map did not take get the default processing.
    static BOOL DefaultReflectionHandler(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult)
    {
        switch (uMsg) {
        case OCM_COMMAND:
        case OCM_NOTIFY:
        case OCM_PARENTNOTIFY:
        case OCM_DRAWITEM:
        case OCM_MEASUREITEM:
        case OCM_COMPAREITEM:
        case OCM_DELETEITEM:
        case OCM_VKEYTOITEM:
        case OCM_CHARTOITEM:
        case OCM_HSCROLL:
        case OCM_VSCROLL:
        case OCM_CTLCOLORBTN:
        case OCM_CTLCOLORDLG:
        case OCM_CTLCOLOREDIT:
        case OCM_CTLCOLORLISTBOX:
        case OCM_CTLCOLORMSGBOX:
        case OCM_CTLCOLORSCROLLBAR:
        case OCM_CTLCOLORSTATIC: lResult = ::DefWindowProcW(hWnd, uMsg - OCM__BASE, wParam, lParam); return TRUE;
        default: return FALSE;
        }
    }

protected:
    // The object of a window; on the window's first message, the object creating it is bound.
    template <class Self> static Self* ObjectOf(HWND hWnd)
    {
        if (auto* self = static_cast<Self*>(detail::FindWindowObject(hWnd))) return self;
        auto* self = static_cast<Self*>(detail::TakeCreatingObject());
        if (self) {
            self->m_hWnd = hWnd;
            detail::RegisterWindowObject(hWnd, self);
        }
        return self;
    }

    // Runs the message map for one message with it as the current message; `outer` receives the
    // message being handled when this one arrived (nested dispatch), which is restored after.
    BOOL RouteMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& result, const MSG*& outer)
    {
        MSG msg{hWnd, uMsg, wParam, lParam, 0, {0, 0}};
        outer = m_pCurrentMsg;
        m_pCurrentMsg = &msg;
        BOOL handled = FALSE;
        try {
            handled = this->ProcessWindowMessage(hWnd, uMsg, wParam, lParam, result, 0);
        } catch (...) {
            // Exceptions never cross into the system's dispatch; handlers report their own, so
            // one that gets here went unreported: leave a trace for the debugger.
            wchar_t trace[96];
            std::swprintf(trace, std::size(trace), L"Window message 0x%04X: exception not handled by its handler\n",
                          uMsg);
            ::OutputDebugStringW(trace);
            handled = FALSE;
        }
        m_pCurrentMsg = outer;
        return handled;
    }

    // After WM_NCDESTROY, once no outer message of the window is still being handled, the object
    // lets go of its window; true then (the caller ends with OnFinalMessage).
    bool ReleaseIfDestroyed(HWND hWnd, UINT uMsg, const MSG* outer)
    {
        if (uMsg == WM_NCDESTROY) m_dwState |= WINSTATE_DESTROYED;
        if (!(m_dwState & WINSTATE_DESTROYED) || outer) return false;
        detail::UnregisterWindowObject(hWnd);
        m_dwState &= ~static_cast<DWORD>(WINSTATE_DESTROYED);
        this->m_hWnd = nullptr;
        return true;
    }

    const MSG* m_pCurrentMsg = nullptr;
    DWORD m_dwState = 0;
};

template <class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImplBaseT : public CWindowImplRoot<TBase> {
public:
    WNDPROC m_pfnSuperWindowProc = ::DefWindowProcW;

    virtual ~CWindowImplBaseT()
    {
        if (this->m_hWnd && detail::FindWindowObject(this->m_hWnd) == this)
            detail::UnregisterWindowObject(this->m_hWnd);
    }

    static DWORD GetWndStyle(DWORD style) { return TWinTraits::GetWndStyle(style); }
    static DWORD GetWndExStyle(DWORD exStyle) { return TWinTraits::GetWndExStyle(exStyle); }

    virtual WNDPROC GetWindowProc() { return WindowProc; }
    virtual void OnFinalMessage(HWND) {}

    LRESULT DefWindowProc(UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        return ::CallWindowProcW(m_pfnSuperWindowProc, this->m_hWnd, uMsg, wParam, lParam);
    }
    LRESULT DefWindowProc()
    {
        const MSG* msg = this->m_pCurrentMsg;
        return msg ? DefWindowProc(msg->message, msg->wParam, msg->lParam) : 0;
    }

    HWND Create(HWND parent, const RECT& rect, LPCWSTR name, DWORD style, DWORD exStyle, HMENU menuOrId, ATOM atom,
                LPVOID param)
    {
        if (!atom) return nullptr;
        detail::SetCreatingObject(this);
        HWND hWnd = ::CreateWindowExW(exStyle, MAKEINTATOM(atom), name, style, rect.left, rect.top,
                                      rect.right - rect.left, rect.bottom - rect.top, parent, menuOrId,
                                      GetModuleInstanceHandle(), param);
        detail::TakeCreatingObject();
        return hWnd;
    }

    // Takes over an existing window (a dialog control, say) by replacing its window procedure.
    BOOL SubclassWindow(HWND hWnd)
    {
        if (this->m_hWnd || !::IsWindow(hWnd)) return FALSE;
        detail::RegisterWindowObject(hWnd, this);
        this->m_hWnd = hWnd;
        m_pfnSuperWindowProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetWindowProc())));
        return TRUE;
    }

    HWND UnsubclassWindow()
    {
        HWND hWnd = this->m_hWnd;
        if (!hWnd) return nullptr;
        ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuperWindowProc));
        m_pfnSuperWindowProc = ::DefWindowProcW;
        detail::UnregisterWindowObject(hWnd);
        this->m_hWnd = nullptr;
        return hWnd;
    }

    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = CWindowImplRoot<TBase>::template ObjectOf<CWindowImplBaseT>(hWnd);
        if (!self) return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
        LRESULT result = 0;
        const MSG* outer = nullptr;
        if (!self->RouteMessage(hWnd, uMsg, wParam, lParam, result, outer)) {
            if (uMsg != WM_NCDESTROY) {
                result = self->DefWindowProc(uMsg, wParam, lParam);
            } else {
                // A subclassed window gets its own procedure back for its last message.
                WNDPROC super = self->m_pfnSuperWindowProc;
                result = ::CallWindowProcW(super, hWnd, uMsg, wParam, lParam);
                if (super != ::DefWindowProcW &&
                    ::GetWindowLongPtrW(hWnd, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(self->GetWindowProc()))
                    ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(super));
            }
        }
        if (self->ReleaseIfDestroyed(hWnd, uMsg, outer)) {
            self->m_pfnSuperWindowProc = ::DefWindowProcW;
            self->OnFinalMessage(hWnd);
        }
        return result;
    }
};

template <class T, class TBase = CWindow, class TWinTraits = CControlWinTraits>
class CWindowImpl : public CWindowImplBaseT<TBase, TWinTraits> {
public:
    DECLARE_WND_CLASS(nullptr)

    HWND Create(HWND parent, const RECT& rect = CWindow::rcDefault, LPCWSTR name = nullptr, DWORD style = 0,
                DWORD exStyle = 0, HMENU menuOrId = nullptr, LPVOID param = nullptr)
    {
        ATOM atom = T::GetWndClassInfo().Register(this->GetWindowProc());
        style = T::GetWndStyle(style);
        exStyle = T::GetWndExStyle(exStyle);
        return CWindowImplBaseT<TBase, TWinTraits>::Create(parent, rect, name, style, exStyle, menuOrId, atom, param);
    }
};

// Dialog templates come from the resource module; T::IDD names the template.
template <class T, class TBase = CWindow> class CDialogImpl : public CWindowImplRoot<TBase> {
public:
    virtual ~CDialogImpl()
    {
        if (this->m_hWnd && detail::FindWindowObject(this->m_hWnd) == this)
            detail::UnregisterWindowObject(this->m_hWnd);
    }

    virtual void OnFinalMessage(HWND) {}

    HWND Create(HWND parent, LPARAM initParam = 0)
    {
        detail::SetCreatingObject(this);
        HWND hWnd = ::CreateDialogParamW(GetResourceInstanceHandle(), MAKEINTRESOURCEW(T::IDD), parent, DialogProc,
                                         initParam);
        detail::TakeCreatingObject();
        return hWnd;
    }

    INT_PTR DoModal(HWND parent = ::GetActiveWindow(), LPARAM initParam = 0)
    {
        detail::SetCreatingObject(this);
        INT_PTR result = ::DialogBoxParamW(GetResourceInstanceHandle(), MAKEINTRESOURCEW(T::IDD), parent, DialogProc,
                                           initParam);
        detail::TakeCreatingObject();
        return result;
    }

    BOOL EndDialog(int result) { return ::EndDialog(this->m_hWnd, result); }
    BOOL DestroyWindow() { return ::DestroyWindow(this->m_hWnd); }

    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
    {
        auto* self = CWindowImplRoot<TBase>::template ObjectOf<CDialogImpl>(hWnd);
        if (!self) return FALSE;
        LRESULT result = 0;
        const MSG* outer = nullptr;
        const BOOL handled = self->RouteMessage(hWnd, uMsg, wParam, lParam, result, outer);
        if (self->ReleaseIfDestroyed(hWnd, uMsg, outer)) {
            self->OnFinalMessage(hWnd);
            return FALSE;
        }
        if (!handled) return FALSE;
        switch (uMsg) {
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_INITDIALOG:
        case WM_QUERYDRAGICON:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC: return static_cast<INT_PTR>(result);
        default: ::SetWindowLongPtrW(hWnd, DWLP_MSGRESULT, result); return TRUE;
        }
    }
};

} // namespace ATL
