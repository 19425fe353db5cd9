#pragma once
// Small GDI scope holders used around drawing.
#include "foundation/UniqueHandle.h"

#include <windows.h>

// HALFTONE stretching for the life of the holder; the old mode comes back when there was one.
class CStretchBltModeSaver {
public:
    explicit CStretchBltModeSaver(HDC hdc) : m_hdc(hdc), m_old(::SetStretchBltMode(hdc, HALFTONE)) {}
    ~CStretchBltModeSaver()
    {
        if (m_old) ::SetStretchBltMode(m_hdc, m_old);
    }
    CStretchBltModeSaver(const CStretchBltModeSaver&) = delete;
    CStretchBltModeSaver& operator=(const CStretchBltModeSaver&) = delete;

private:
    HDC m_hdc;
    int m_old;
};

// One GDI object; unlike a plain owner, a failed delete keeps the object held.
class CGdiObjectHolder {
public:
    CGdiObjectHolder() noexcept = default;
    explicit CGdiObjectHolder(HGDIOBJ object) noexcept : m_object(object) {}

    // Attaching the object already held keeps it.
    void Attach(HGDIOBJ object) noexcept
    {
        if (object != m_object.Get()) m_object.Reset(object);
    }
    bool Delete() noexcept
    {
        if (!m_object) return true;
        if (!::DeleteObject(m_object.Get())) return false;
        (void)m_object.Detach();
        return true;
    }
    HGDIOBJ Get() const noexcept { return m_object.Get(); }

private:
    CUniqueGdiObject m_object;
};
