#include "imaging/GdiplusResources.h"

#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "foundation/Streams.h"
#include "foundation/UniqueHandle.h"
#include "ids/imaging.h"
#include "imaging/BitmapDataLock.h"
#include "imaging/GdiplusAlloc.h"

namespace {

HRESULT LoadImageResource(CGdiplusImagePtr& image, WORD id)
{
    CStreamPtr stream;
    const HRESULT hr = CreateStreamOnResource(stream, MAKEINTRESOURCEW(id), L"Image");
    if (FAILED(hr)) return hr;
    return LoadImageFromStream(image, stream);
}

} // namespace

CGdiplusImagePtr LoadImageFromImageResource(WORD id)
{
    CGdiplusImagePtr image;
    if (FAILED(LoadImageResource(image, id))) throw my::CException(IDS_IMAGE_RESOURCE_LOAD_FAILED);
    return image;
}

void LoadImageFromImageResourceOnce(CGdiplusImagePtr& image, WORD id)
{
    if (image) return;
    CGdiplusImagePtr loaded;
    if (SUCCEEDED(LoadImageResource(loaded, id))) image = loaded;
}

CGdiplusBitmapPtr CreateBitmapFromIconResource(WORD id, int cx, int cy)
{
    if (cx <= 0 || cy <= 0 || cx > 0x7FFFFFFF / 4) return CGdiplusBitmapPtr();
    const CUniqueIcon icon(static_cast<HICON>(
        ::LoadImageW(GetResourceInstance(), MAKEINTRESOURCEW(id), IMAGE_ICON, cx, cy, LR_DEFAULTCOLOR)));
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon.Get(), &info)) return CGdiplusBitmapPtr();
    const CUniqueBitmap color(info.hbmColor), mask(info.hbmMask);
    if (!color) return CGdiplusBitmapPtr(); // a monochrome icon has no colour bitmap

    CGdiplusBitmapPtr bitmap = GdiplusNew<Gdiplus::Bitmap>(cx, cy, PixelFormat32bppARGB);
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return CGdiplusBitmapPtr();
    CBitmapDataLock lock;
    if (lock.Lock(bitmap.get(), RECT{0, 0, cx, cy}, PixelFormat32bppARGB) != Gdiplus::Ok) return CGdiplusBitmapPtr();
    if (lock.m_data.Stride != cx * 4) return CGdiplusBitmapPtr();
    BITMAPINFOHEADER header = {sizeof(header), cx, -cy, 1, 32, BI_RGB};
    HDC screen = ::GetDC(nullptr);
    const int lines = ::GetDIBits(screen, color.Get(), 0, cy, lock.m_data.Scan0, reinterpret_cast<BITMAPINFO*>(&header),
                                  DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    if (lines < cy || lock.Unlock() != Gdiplus::Ok) return CGdiplusBitmapPtr();
    return bitmap;
}
