#include "imaging/GdiplusImage.h"

#include "foundation/Exception.h"
#include "foundation/Streams.h"
#include "ids/imaging.h"
#include "imaging/GdiplusAlloc.h"
#include "imaging/GifColorTable.h"

#include <climits>

namespace {

void SetGrayPalette(Gdiplus::Bitmap& bitmap)
{
    CPaletteBuffer palette(256);
    for (UINT i = 0; i < 256; ++i) palette.Get()->Entries[i] = MakeOpaqueArgb(BYTE(i), BYTE(i), BYTE(i));
    bitmap.SetPalette(palette.Get());
}

void SetBlackWhitePalette(Gdiplus::Bitmap& bitmap)
{
    CPaletteBuffer palette(2);
    palette.Get()->Entries[0] = 0xFF000000;
    palette.Get()->Entries[1] = 0xFFFFFFFF;
    bitmap.SetPalette(palette.Get());
}

} // namespace

CGdiplusBitmapPtr CreateBitmapFromImage(const CImg& img)
{
    if (img.m_w == 0 || img.m_h == 0) return CGdiplusBitmapPtr();
    Gdiplus::PixelFormat format = 0;
    switch (img.m_format) {
    case BGRA32: format = PixelFormat32bppARGB; break;
    case BGR24: format = PixelFormat24bppRGB; break;
    case MONO8: format = PixelFormat8bppIndexed; break;
    case MONO1: format = PixelFormat1bppIndexed; break;
    default: throw my::CException(IDS_UNSUPPORTED_IMAGE_FORMAT);
    }
    // GDI+ reads stride x height bytes from the buffer: refuse an image that does not hold them.
    if (!img.HasAllBits() || img.m_w > INT_MAX || img.m_h > INT_MAX) {
        throw my::CException(IDS_BAD_IMAGE_SIZE, std::to_wstring(img.m_w), std::to_wstring(img.m_h));
    }
    BYTE* scan0 = const_cast<BYTE*>(img.m_bits.data());
    CGdiplusBitmapPtr bitmap = GdiplusNew<Gdiplus::Bitmap>(static_cast<INT>(img.m_w), static_cast<INT>(img.m_h),
                                                           static_cast<INT>(img.GetStride()), format, scan0);
    if (!bitmap) return bitmap;
    if (img.m_format == MONO8) SetGrayPalette(*bitmap);
    if (img.m_format == MONO1) SetBlackWhitePalette(*bitmap);
    return bitmap;
}

CTextureBrushPtr CreateTextureBrush(const CImg& img, Gdiplus::WrapMode wrapMode)
{
    CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(img);
    if (!bitmap) return CTextureBrushPtr();
    return GdiplusNew<Gdiplus::TextureBrush>(bitmap.get(), wrapMode);
}

CTextureBrushPtr CreateTextureBrush(const CImg& img, Gdiplus::WrapMode wrapMode, float opacity)
{
    Gdiplus::ColorMatrix matrix = {};
    for (int i = 0; i < 5; ++i) matrix.m[i][i] = 1.0f;
    matrix.m[3][3] = opacity;
    Gdiplus::ImageAttributes attributes;
    attributes.SetColorMatrix(&matrix, Gdiplus::ColorMatrixFlagsDefault, Gdiplus::ColorAdjustTypeDefault);
    CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(img);
    if (!bitmap) return CTextureBrushPtr();
    const Gdiplus::Rect area(0, 0, static_cast<INT>(img.m_w), static_cast<INT>(img.m_h));
    CTextureBrushPtr brush = GdiplusNew<Gdiplus::TextureBrush>(bitmap.get(), area, &attributes);
    if (brush) brush->SetWrapMode(wrapMode);
    return brush;
}

HRESULT LoadImageFromStream(CGdiplusImagePtr& out, IStream* stream)
{
    // Wine's GIF codec reads the colours of a frame that has none and crashes the process, at load
    // for the first frame and when the caller selects a later one: such a GIF never reaches it, nor
    // does a stream that failed the look, whose next reads may well succeed.
    int frame = -1;
    const HRESULT hr = FirstGifFrameWithoutColorTable(stream, frame);
    if (FAILED(hr)) return hr;
    if (frame >= 0) return WINCODEC_ERR_PALETTEUNAVAILABLE;
    out = GdiplusNew<Gdiplus::Image>(stream, FALSE);
    if (!out) return E_FAIL;
    return out->GetLastStatus() == Gdiplus::Ok ? S_OK : E_NOTIMPL;
}

HRESULT LoadImageFromFile(CGdiplusImagePtr& out, const std::wstring& path)
{
    CStreamPtr stream;
    const HRESULT hr = CreateStreamOnFileHGlobal(stream, path, ~0ULL);
    if (FAILED(hr)) return hr;
    return LoadImageFromStream(out, stream);
}

HRESULT LoadImageFromResource(CGdiplusImagePtr& out, const wchar_t* name, const wchar_t* type)
{
    CStreamPtr stream;
    const HRESULT hr = CreateStreamOnResource(stream, name, type);
    if (FAILED(hr)) return hr;
    return LoadImageFromStream(out, stream);
}
