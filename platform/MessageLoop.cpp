#include "MessageLoop.h"

#include <algorithm>

namespace WTL {

namespace {
template <class T> BOOL RemoveFrom(std::vector<T*>& list, T* item)
{
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) return FALSE;
    list.erase(it);
    return TRUE;
}
} // namespace

BOOL CMessageLoop::AddMessageFilter(CMessageFilter* filter)
{
    m_aMsgFilter.push_back(filter);
    return TRUE;
}

BOOL CMessageLoop::RemoveMessageFilter(CMessageFilter* filter) { return RemoveFrom(m_aMsgFilter, filter); }

BOOL CMessageLoop::AddIdleHandler(CIdleHandler* handler)
{
    m_aIdleHandler.push_back(handler);
    return TRUE;
}

BOOL CMessageLoop::RemoveIdleHandler(CIdleHandler* handler) { return RemoveFrom(m_aIdleHandler, handler); }

int CMessageLoop::Run()
{
    bool idle = true;
    int idleCount = 0;
    for (;;) {
        while (idle && !::PeekMessageW(&m_msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        BOOL got = ::GetMessageW(&m_msg, nullptr, 0, 0);
        if (got == -1) continue;
        if (!got) break;
        if (!PreTranslateMessage(&m_msg)) {
            ::TranslateMessage(&m_msg);
            ::DispatchMessageW(&m_msg);
        }
        if (IsIdleMessage(&m_msg)) {
            idle = true;
            idleCount = 0;
        }
    }
    return static_cast<int>(m_msg.wParam);
}

BOOL CMessageLoop::PreTranslateMessage(MSG* msg)
{
    // A filter may remove itself while it runs: walk a copy.
    std::vector<CMessageFilter*> filters(m_aMsgFilter);
    for (auto it = filters.rbegin(); it != filters.rend(); ++it) {
        if (*it && (*it)->PreTranslateMessage(msg)) return TRUE;
    }
    return FALSE;
}

BOOL CMessageLoop::OnIdle(int)
{
    std::vector<CIdleHandler*> handlers(m_aIdleHandler);
    for (CIdleHandler* handler : handlers) {
        if (handler) handler->OnIdle();
    }
    return FALSE;
}

BOOL CMessageLoop::IsIdleMessage(const MSG* msg)
{
    // The system's caret-blink timer; the SDK headers give it no name.
    constexpr UINT kSysTimer = 0x0118;
    switch (msg->message) {
    case WM_MOUSEMOVE:
    case WM_NCMOUSEMOVE:
    case WM_PAINT:
    case kSysTimer: return FALSE;
    default: return TRUE;
    }
}

} // namespace WTL
