#pragma once
// The thread's message loop with message filters and idle handlers.
#include <windows.h>

#include <vector>

namespace WTL {

class CMessageFilter {
public:
    virtual BOOL PreTranslateMessage(MSG* msg) = 0;

protected:
    ~CMessageFilter() = default;
};

class CIdleHandler {
public:
    virtual BOOL OnIdle() = 0;

protected:
    ~CIdleHandler() = default;
};

class CMessageLoop {
public:
    virtual ~CMessageLoop() = default;

    BOOL AddMessageFilter(CMessageFilter* filter);
    BOOL RemoveMessageFilter(CMessageFilter* filter);
    BOOL AddIdleHandler(CIdleHandler* handler);
    BOOL RemoveIdleHandler(CIdleHandler* handler);

    int Run();

    // Offers the message to the filters, the last registered first; the first that takes it stops it.
    virtual BOOL PreTranslateMessage(MSG* msg);
    // Calls every idle handler once; returns false so that idling stops until the next message.
    virtual BOOL OnIdle(int idleCount);

    static BOOL IsIdleMessage(const MSG* msg);

    std::vector<CMessageFilter*> m_aMsgFilter;
    std::vector<CIdleHandler*> m_aIdleHandler;
    MSG m_msg{};
};

} // namespace WTL
