#pragma once
// Message maps: entries are tried in order; an entry whose handler clears bHandled lets the
// search go on. bHandled is local to each ProcessWindowMessage call, so nested dispatch (a
// handler that sends another message) keeps the outer call's flag.
#include <windows.h>

#include <olectl.h>

namespace ATL {

class CMessageMap {
public:
    virtual ~CMessageMap() = default;
    virtual BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,
                                      DWORD dwMsgMapID = 0) = 0;
};

} // namespace ATL

// The macros keep their own layout: one entry per line, the line ends lined up.
// clang-format off
#define BEGIN_MSG_MAP(theClass)                                                                                \
public:                                                                                                        \
    BOOL ProcessWindowMessage(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam, LRESULT& lResult,            \
                              DWORD dwMsgMapID = 0)                                                            \
    {                                                                                                          \
        BOOL bHandled = TRUE;                                                                                  \
        (void)hWnd;                                                                                            \
        (void)uMsg;                                                                                            \
        (void)wParam;                                                                                          \
        (void)lParam;                                                                                          \
        (void)lResult;                                                                                         \
        (void)bHandled;                                                                                        \
        switch (dwMsgMapID) {                                                                                  \
        case 0:

#define ALT_MSG_MAP(id)                                                                                        \
    break;                                                                                                     \
    case id:

#define END_MSG_MAP()                                                                                          \
    break;                                                                                                     \
    default:                                                                                                   \
        break;                                                                                                 \
        }                                                                                                      \
        return FALSE;                                                                                          \
    }

#define MESSAGE_HANDLER(msg, func)                                                                             \
    if (uMsg == (msg)) {                                                                                       \
        bHandled = TRUE;                                                                                       \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                        \
        if (bHandled) return TRUE;                                                                             \
    }

#define MESSAGE_RANGE_HANDLER(msgFirst, msgLast, func)                                                         \
    if (uMsg >= (msgFirst) && uMsg <= (msgLast)) {                                                             \
        bHandled = TRUE;                                                                                       \
        lResult = func(uMsg, wParam, lParam, bHandled);                                                        \
        if (bHandled) return TRUE;                                                                             \
    }

#define COMMAND_HANDLER(id, code, func)                                                                        \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam) && (code) == HIWORD(wParam)) {                            \
        bHandled = TRUE;                                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);              \
        if (bHandled) return TRUE;                                                                             \
    }

#define COMMAND_ID_HANDLER(id, func)                                                                           \
    if (uMsg == WM_COMMAND && (id) == LOWORD(wParam)) {                                                        \
        bHandled = TRUE;                                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);              \
        if (bHandled) return TRUE;                                                                             \
    }

#define COMMAND_CODE_HANDLER(code, func)                                                                       \
    if (uMsg == WM_COMMAND && (code) == HIWORD(wParam)) {                                                      \
        bHandled = TRUE;                                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);              \
        if (bHandled) return TRUE;                                                                             \
    }

#define COMMAND_RANGE_HANDLER(idFirst, idLast, func)                                                           \
    if (uMsg == WM_COMMAND && LOWORD(wParam) >= (idFirst) && LOWORD(wParam) <= (idLast)) {                     \
        bHandled = TRUE;                                                                                       \
        lResult = func(HIWORD(wParam), LOWORD(wParam), reinterpret_cast<HWND>(lParam), bHandled);              \
        if (bHandled) return TRUE;                                                                             \
    }

#define NOTIFY_HANDLER(id, cd, func)                                                                           \
    if (uMsg == WM_NOTIFY && (id) == reinterpret_cast<LPNMHDR>(lParam)->idFrom &&                              \
        (cd) == reinterpret_cast<LPNMHDR>(lParam)->code) {                                                     \
        bHandled = TRUE;                                                                                       \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled);                 \
        if (bHandled) return TRUE;                                                                             \
    }

#define NOTIFY_ID_HANDLER(id, func)                                                                            \
    if (uMsg == WM_NOTIFY && (id) == reinterpret_cast<LPNMHDR>(lParam)->idFrom) {                              \
        bHandled = TRUE;                                                                                       \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled);                 \
        if (bHandled) return TRUE;                                                                             \
    }

#define NOTIFY_CODE_HANDLER(cd, func)                                                                          \
    if (uMsg == WM_NOTIFY && (cd) == reinterpret_cast<LPNMHDR>(lParam)->code) {                                \
        bHandled = TRUE;                                                                                       \
        lResult = func(static_cast<int>(wParam), reinterpret_cast<LPNMHDR>(lParam), bHandled);                 \
        if (bHandled) return TRUE;                                                                             \
    }

#define CHAIN_MSG_MAP(theChainClass)                                                                           \
    if (theChainClass::ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

#define CHAIN_MSG_MAP_MEMBER(theChainMember)                                                                   \
    if ((theChainMember).ProcessWindowMessage(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;

// Notifications sent to a parent come back to the child control as OCM_ messages.
#define REFLECT_NOTIFICATIONS()                                                                                \
    {                                                                                                          \
        bHandled = TRUE;                                                                                       \
        lResult = this->ReflectNotifications(uMsg, wParam, lParam, bHandled);                                  \
        if (bHandled) return TRUE;                                                                             \
    }

#define DEFAULT_REFLECTION_HANDLER()                                                                           \
    if (this->DefaultReflectionHandler(hWnd, uMsg, wParam, lParam, lResult)) return TRUE;
// clang-format on
