#pragma once
// The module object: instance and resource handles, and the message loop of each thread.
#include "MessageLoop.h"

#include <windows.h>

#include <map>
#include <mutex>

namespace WTL {

class CAppModule {
public:
    HRESULT Init(void* objectMap, HINSTANCE instance, const GUID* libraryId = nullptr);
    void Term();

    HINSTANCE GetModuleInstance() const noexcept { return m_hInst; }
    HINSTANCE GetResourceInstance() const noexcept { return m_hInstResource; }
    HINSTANCE SetResourceInstance(HINSTANCE instance) noexcept;

    // Registration of the loop of the calling thread (keyed by thread id).
    BOOL AddMessageLoop(CMessageLoop* loop);
    BOOL RemoveMessageLoop();
    CMessageLoop* GetMessageLoop(DWORD threadId = ::GetCurrentThreadId());

    std::recursive_mutex& Lock() noexcept { return m_lock; }

private:
    HINSTANCE m_hInst = nullptr;
    HINSTANCE m_hInstResource = nullptr;
    std::map<DWORD, CMessageLoop*> m_loops;
    std::recursive_mutex m_lock;
};

} // namespace WTL

extern WTL::CAppModule _Module;
