#include "foundation/GlobalMemory.h"

#include <utility>

CGlobalMemory::~CGlobalMemory() { Free(); }

bool CGlobalMemory::Alloc(SIZE_T size, UINT flags)
{
    Free();
    m_hGlobal = ::GlobalAlloc(flags, size);
    return m_hGlobal != nullptr;
}

void CGlobalMemory::Attach(HGLOBAL h) noexcept
{
    if (h == m_hGlobal) return;
    Free();
    m_hGlobal = h;
}

HGLOBAL CGlobalMemory::Detach() noexcept { return std::exchange(m_hGlobal, nullptr); }

void CGlobalMemory::Free() noexcept
{
    if (HGLOBAL h = std::exchange(m_hGlobal, nullptr)) ::GlobalFree(h);
}

CGlobalLocker::~CGlobalLocker() { Unlock(); }

void* CGlobalLocker::Lock(HGLOBAL h) noexcept
{
    Unlock();
    if (!h) return nullptr;
    void* p = ::GlobalLock(h);
    if (p) {
        m_hGlobal = h;
        m_pointer = p;
    }
    return p;
}

bool CGlobalLocker::Lock(void** pointer, HGLOBAL h) noexcept
{
    void* p = Lock(h);
    if (pointer) *pointer = p;
    return p != nullptr;
}

void CGlobalLocker::Unlock() noexcept
{
    if (HGLOBAL h = std::exchange(m_hGlobal, nullptr)) ::GlobalUnlock(h);
    m_pointer = nullptr;
}
