#pragma once
// Owner of a global memory block and the lock on one.
#include <windows.h>

class CGlobalMemory {
public:
    CGlobalMemory() noexcept = default;
    explicit CGlobalMemory(HGLOBAL h) noexcept : m_hGlobal(h) {}
    CGlobalMemory(const CGlobalMemory&) = delete;
    CGlobalMemory& operator=(const CGlobalMemory&) = delete;
    virtual ~CGlobalMemory();

    bool Alloc(SIZE_T size, UINT flags);
    void Attach(HGLOBAL h) noexcept;
    HGLOBAL Detach() noexcept;
    void Free() noexcept;

    HGLOBAL Get() const noexcept { return m_hGlobal; }
    operator HGLOBAL() const noexcept { return m_hGlobal; }

    HGLOBAL m_hGlobal = nullptr;
};

class CGlobalLocker {
public:
    CGlobalLocker() noexcept = default;
    explicit CGlobalLocker(HGLOBAL h) noexcept { Lock(h); }
    CGlobalLocker(const CGlobalLocker&) = delete;
    CGlobalLocker& operator=(const CGlobalLocker&) = delete;
    virtual ~CGlobalLocker();

    void* Lock(HGLOBAL h) noexcept;
    bool Lock(void** pointer, HGLOBAL h) noexcept;
    void Unlock() noexcept;

    void* Get() const noexcept { return m_pointer; }

    HGLOBAL m_hGlobal = nullptr;

private:
    void* m_pointer = nullptr;
};
