#include "AppModule.h"

#include "ModuleInstance.h"

WTL::CAppModule _Module;

namespace WTL {

HRESULT CAppModule::Init(void*, HINSTANCE instance, const GUID*)
{
    m_hInst = instance;
    m_hInstResource = instance;
    return S_OK;
}

void CAppModule::Term()
{
    std::lock_guard guard(m_lock);
    m_loops.clear();
}

HINSTANCE CAppModule::SetResourceInstance(HINSTANCE instance) noexcept
{
    HINSTANCE old = m_hInstResource;
    m_hInstResource = instance;
    return old;
}

BOOL CAppModule::AddMessageLoop(CMessageLoop* loop)
{
    std::lock_guard guard(m_lock);
    return m_loops.emplace(::GetCurrentThreadId(), loop).second;
}

BOOL CAppModule::RemoveMessageLoop()
{
    std::lock_guard guard(m_lock);
    return m_loops.erase(::GetCurrentThreadId()) != 0;
}

CMessageLoop* CAppModule::GetMessageLoop(DWORD threadId)
{
    std::lock_guard guard(m_lock);
    auto it = m_loops.find(threadId);
    return it == m_loops.end() ? nullptr : it->second;
}

} // namespace WTL

namespace ATL {

HINSTANCE GetModuleInstanceHandle() noexcept
{
    HINSTANCE instance = _Module.GetModuleInstance();
    return instance ? instance : ::GetModuleHandleW(nullptr);
}

HINSTANCE GetResourceInstanceHandle() noexcept
{
    HINSTANCE instance = _Module.GetResourceInstance();
    return instance ? instance : ::GetModuleHandleW(nullptr);
}

} // namespace ATL
