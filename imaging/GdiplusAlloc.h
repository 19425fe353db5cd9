#pragma once
// GDI+ objects made with GDI+'s own allocator, and room for a palette of any size.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <boost/shared_ptr.hpp>

#include <new>
#include <utility>
#include <vector>

// GDI+'s allocator answers null when out of memory; its classes' own operator new would then
// construct over null, so the memory is taken here and the object built in place.
template <class T, class... Args> boost::shared_ptr<T> GdiplusNew(Args&&... args)
{
    void* memory = Gdiplus::DllExports::GdipAlloc(sizeof(T));
    if (!memory) return boost::shared_ptr<T>();
    return boost::shared_ptr<T>(::new (memory) T(std::forward<Args>(args)...));
}

// ColorPalette ends in a one-entry array: room for `count` entries is made here.
class CPaletteBuffer {
public:
    explicit CPaletteBuffer(UINT count)
        : m_bytes(sizeof(Gdiplus::ColorPalette) + sizeof(Gdiplus::ARGB) * (count ? count - 1 : 0))
    {
        Get()->Flags = 0;
        Get()->Count = count;
    }
    Gdiplus::ColorPalette* Get() { return reinterpret_cast<Gdiplus::ColorPalette*>(m_bytes.data()); }

private:
    std::vector<BYTE> m_bytes;
};
