#pragma once
// The bits of a GDI+ bitmap locked for writing, unlocked when the holder goes.
#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

class CBitmapDataLock {
public:
    CBitmapDataLock() noexcept = default;
    CBitmapDataLock(const CBitmapDataLock&) = delete;
    CBitmapDataLock& operator=(const CBitmapDataLock&) = delete;
    ~CBitmapDataLock() { Unlock(); }

    Gdiplus::Status Lock(Gdiplus::Bitmap* bitmap, const RECT& rect, Gdiplus::PixelFormat format);
    Gdiplus::Status Lock(Gdiplus::Bitmap* bitmap, const Gdiplus::Rect* rect, Gdiplus::PixelFormat format);
    Gdiplus::Status Unlock();

    Gdiplus::BitmapData m_data = {};
    Gdiplus::Bitmap* m_bitmap = nullptr;
};
