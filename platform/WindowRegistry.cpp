#include "WindowRegistry.h"

#include <mutex>
#include <unordered_map>

namespace ATL::detail {
namespace {

std::mutex g_lock;
std::unordered_map<HWND, void*>& Map()
{
    static std::unordered_map<HWND, void*> map;
    return map;
}
thread_local void* t_creating = nullptr;

} // namespace

void* FindWindowObject(HWND hWnd) noexcept
{
    std::lock_guard guard(g_lock);
    auto it = Map().find(hWnd);
    return it == Map().end() ? nullptr : it->second;
}

void RegisterWindowObject(HWND hWnd, void* object)
{
    std::lock_guard guard(g_lock);
    Map()[hWnd] = object;
}

void UnregisterWindowObject(HWND hWnd) noexcept
{
    std::lock_guard guard(g_lock);
    Map().erase(hWnd);
}

void SetCreatingObject(void* object) noexcept { t_creating = object; }

void* TakeCreatingObject() noexcept
{
    void* object = t_creating;
    t_creating = nullptr;
    return object;
}

} // namespace ATL::detail
