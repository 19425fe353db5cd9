#include "imaging/BitmapDataLock.h"

Gdiplus::Status CBitmapDataLock::Lock(Gdiplus::Bitmap* bitmap, const RECT& rect, Gdiplus::PixelFormat format)
{
    const Gdiplus::Rect area(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    return Lock(bitmap, &area, format);
}

// The wrapper's calls keep a failing status in the bitmap.
Gdiplus::Status CBitmapDataLock::Lock(Gdiplus::Bitmap* bitmap, const Gdiplus::Rect* rect, Gdiplus::PixelFormat format)
{
    Unlock();
    if (!bitmap) return Gdiplus::InvalidParameter;
    const Gdiplus::Status status = bitmap->LockBits(rect, Gdiplus::ImageLockModeWrite, format, &m_data);
    if (status == Gdiplus::Ok) m_bitmap = bitmap;
    return status;
}

Gdiplus::Status CBitmapDataLock::Unlock()
{
    if (!m_bitmap) return Gdiplus::Ok;
    const Gdiplus::Status status = m_bitmap->UnlockBits(&m_data);
    if (status == Gdiplus::Ok) m_bitmap = nullptr;
    return status;
}
