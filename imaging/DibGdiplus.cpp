#include "imaging/DibGdiplus.h"

#include "foundation/UniqueHandle.h"
#include "imaging/BitmapDataLock.h"
#include "imaging/GdiplusAlloc.h"
#include "imaging/GdiplusScaling.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

const HRESULT kNoMemory = HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);

// The colour table as a GDI+ palette of 256 entries; a shorter table leaves the rest 0. The
// reserved bytes are the entries' alpha only when alpha is wanted and the table carries some:
// GDI writes them as 0 and draws such a table opaque, and so it is handed over opaque.
void SetPaletteFromTable(Gdiplus::Bitmap& bitmap, const CDib& dib, bool alpha)
{
    CPaletteBuffer palette(256);
    Gdiplus::ARGB* entries = palette.Get()->Entries;
    std::memset(entries, 0, 256 * sizeof(Gdiplus::ARGB));
    // RGBQUAD and ARGB have the same bytes in memory: blue, green, red, then reserved or alpha.
    const UINT count = dib.GetBitCount() <= 8 ? std::min(dib.GetColorCount(), 256u) : 0;
    std::memcpy(entries, dib.GetColorTable(), count * sizeof(RGBQUAD));
    const bool tableHasAlpha = std::any_of(entries, entries + count, [](Gdiplus::ARGB e) { return e >> 24 != 0; });
    if (alpha && tableHasAlpha) {
        palette.Get()->Flags = Gdiplus::PaletteFlagsHasAlpha;
    } else {
        palette.Get()->Flags = 0;
        for (UINT i = 0; i < count; ++i) entries[i] |= 0xFF000000;
    }
    bitmap.SetPalette(palette.Get());
}

bool IsUsable(const CGdiplusBitmapPtr& bitmap) { return bitmap && bitmap->GetLastStatus() == Gdiplus::Ok; }

// The layout of a 16- or 32-bit DIB's rows as GDI+ names it: `plain` without bit fields, or with
// the masks GDI assumes anyway; 5-6-5 fields at 16 bits; none (0) for any other masks, whose
// bytes a plain layout would show in the wrong colours.
Gdiplus::PixelFormat ColourBitsFormat(const CDib& dib, Gdiplus::PixelFormat plain)
{
    if (dib.GetCompression() != BI_BITFIELDS) return plain;
    const auto* masks = reinterpret_cast<const DWORD*>(dib.GetColorTable());
    const auto are = [masks](DWORD red, DWORD green, DWORD blue) {
        return masks[0] == red && masks[1] == green && masks[2] == blue;
    };
    if (dib.GetBitCount() == 16) {
        if (are(0xF800, 0x07E0, 0x001F)) return PixelFormat16bppRGB565;
        return are(0x7C00, 0x03E0, 0x001F) ? plain : 0;
    }
    return are(0xFF0000, 0x00FF00, 0x0000FF) ? plain : 0;
}

// GDI converts the 32-bit picture into the target's bit count and colour table (the nearest
// entry for a palette) in a DIB section laid out as the target, whose rows are then taken over.
HRESULT ConvertThroughGdi(const CDib& src32, CDib& dst)
{
    std::vector<BYTE> info(dst.GetInfoSize());
    if (!dst.WriteInfo(info.data(), static_cast<UINT>(info.size()))) return E_INVALIDARG;
    void* sectionBits = nullptr;
    const CUniqueDC dc(::CreateCompatibleDC(nullptr));
    const CUniqueBitmap section(::CreateDIBSection(dc.Get(), reinterpret_cast<const BITMAPINFO*>(info.data()),
                                                   DIB_RGB_COLORS, &sectionBits, nullptr, 0));
    if (!dc || !section || !sectionBits) return kNoMemory;
    const int lines = ::SetDIBits(dc.Get(), section.Get(), 0, src32.GetHeight(), src32.m_bits,
                                  reinterpret_cast<const BITMAPINFO*>(src32.m_header), DIB_RGB_COLORS);
    if (lines != src32.GetHeight()) return E_INVALIDARG;
    ::GdiFlush();
    std::memcpy(dst.m_bits, sectionBits, dst.GetImageSize());
    return S_OK;
}

// GDI+ draws into the target's own memory when it is 32-bit. A target of another bit count gets
// the picture through a 32-bit temporary: GDI+ would draw into a copy of a 24- or 16-bit DIB, and
// Windows makes no graphics on an indexed bitmap. Over the cleared temporary a pixel keeps its
// colour and alpha; premultiplied, it is what GDI+ composes over the cleared (black) target.
template <class Draw> HRESULT DrawIntoDib(CDib& dst, Draw draw)
{
    CDib temp;
    CDib& target = dst.GetBitCount() == 32 ? dst : temp;
    if (&target == &temp) {
        if (!temp.Create32AndAlloc(dst.GetWidth(), dst.GetHeight())) return kNoMemory;
        temp.Clear();
    }
    const CGdiplusBitmapPtr bitmap = CreateBitmapOnDib(target);
    if (!IsUsable(bitmap)) return kNoMemory;
    if (!draw(bitmap.get())) return E_INVALIDARG;
    if (&target != &temp) return S_OK;
    temp.Premultiply();
    return ConvertThroughGdi(temp, dst);
}

bool IsDrawableSize(LONG width, LONG height) { return width > 0 && height > 0; }

} // namespace

CGdiplusBitmapPtr CreateBitmapOnDib(const CDib& dib)
{
    if (!dib.HasImage()) return CGdiplusBitmapPtr();
    const WORD bitCount = dib.GetBitCount();
    if (bitCount != 32 && bitCount != 8) {
        CGdiplusBitmapPtr copy = GdiplusNew<Gdiplus::Bitmap>(reinterpret_cast<const BITMAPINFO*>(dib.m_header),
                                                             dib.m_bits);
        return IsUsable(copy) ? copy : CGdiplusBitmapPtr();
    }
    // The top row and the signed stride describe bottom-up and top-down rows alike.
    const Gdiplus::PixelFormat format = bitCount == 32 ? PixelFormat32bppARGB : PixelFormat8bppIndexed;
    CGdiplusBitmapPtr bitmap = GdiplusNew<Gdiplus::Bitmap>(dib.GetWidth(), dib.GetHeight(), dib.GetSignedStride(),
                                                           format, dib.GetTopRow());
    if (bitmap && bitCount == 8) SetPaletteFromTable(*bitmap, dib, true);
    return bitmap;
}

CGdiplusBitmapPtr CreateBitmapCopyOfDib(const CDib& dib, bool keepAlpha)
{
    Gdiplus::PixelFormat format = 0;
    switch (dib.GetBitCount()) {
    case 8: format = PixelFormat8bppIndexed; break;
    case 16: format = ColourBitsFormat(dib, PixelFormat16bppRGB555); break;
    case 24: format = PixelFormat24bppRGB; break;
    case 32: format = ColourBitsFormat(dib, keepAlpha ? PixelFormat32bppARGB : PixelFormat32bppRGB); break;
    default: return CGdiplusBitmapPtr();
    }
    if (!format || !dib.HasImage()) return CGdiplusBitmapPtr();
    const LONG width = dib.GetWidth(), height = dib.GetHeight();
    CGdiplusBitmapPtr bitmap = GdiplusNew<Gdiplus::Bitmap>(width, height, format);
    if (!IsUsable(bitmap)) return CGdiplusBitmapPtr();
    {
        CBitmapDataLock lock;
        if (lock.Lock(bitmap.get(), RECT{0, 0, width, height}, format) != Gdiplus::Ok) return CGdiplusBitmapPtr();
        const size_t rowBytes = std::min<size_t>(dib.GetStride(), std::abs(lock.m_data.Stride));
        const BYTE* from = dib.GetTopRow();
        auto* to = static_cast<BYTE*>(lock.m_data.Scan0);
        for (LONG y = 0; y < height; ++y) {
            std::memcpy(to + ptrdiff_t(y) * lock.m_data.Stride, from + ptrdiff_t(y) * dib.GetSignedStride(), rowBytes);
        }
        if (lock.Unlock() != Gdiplus::Ok) return CGdiplusBitmapPtr();
    }
    // The palette goes on after the bits are unlocked: a locked bitmap takes no palette.
    if (format == PixelFormat8bppIndexed) {
        SetPaletteFromTable(*bitmap, dib, keepAlpha);
    }
    return bitmap;
}

HRESULT CreateScaledDibLike(CDib& dst, const CDib& src, int width, int height, WORD bitCount)
{
    if (src.GetBitsOffset() == 0 || &dst == &src) return E_INVALIDARG;
    if (!dst.CreateLike(width, height, bitCount, src.m_header)) return kNoMemory;
    dst.SetXPelsPerMeter(src.m_header->biXPelsPerMeter);
    dst.SetYPelsPerMeter(src.m_header->biYPelsPerMeter);
    if (!dst.AllocBits()) return kNoMemory;
    dst.Clear();
    return S_OK;
}

HRESULT ScaleDib(const CDib& src, const RECT& srcRect, CDib& dst, SIZE dstSize, WORD bitCount,
                 Gdiplus::InterpolationMode mode)
{
    if (!IsDrawableSize(dstSize.cx, dstSize.cy)) return E_INVALIDARG;
    const HRESULT hr = CreateScaledDibLike(dst, src, dstSize.cx, dstSize.cy, bitCount);
    if (FAILED(hr)) return hr;
    const CGdiplusBitmapPtr source = CreateBitmapOnDib(src);
    if (!IsUsable(source)) return kNoMemory;
    const RECT dstRect{0, 0, dstSize.cx, dstSize.cy};
    return DrawIntoDib(
        dst, [&](Gdiplus::Bitmap* target) { return DrawImageScaled(source.get(), srcRect, target, dstRect, mode); });
}

HRESULT ScaleDib(const CDib& src, const RECT& srcRect, CDib& dst, SIZE dstSize, Gdiplus::InterpolationMode mode)
{
    return ScaleDib(src, srcRect, dst, dstSize, src.GetBitCount(), mode);
}

HRESULT ScaleDibF(const CDib& src, const Gdiplus::RectF& srcRect, CDib& dst, const Gdiplus::RectF& dstRect,
                  WORD bitCount, Gdiplus::InterpolationMode mode)
{
    const double width = std::ceil(double(dstRect.Width)), height = std::ceil(double(dstRect.Height));
    // Written so that NaN fails too.
    if (!(width >= 1 && width <= kMaxDibBlockSize && height >= 1 && height <= kMaxDibBlockSize)) return E_INVALIDARG;
    const HRESULT hr = CreateScaledDibLike(dst, src, static_cast<int>(width), static_cast<int>(height), bitCount);
    if (FAILED(hr)) return hr;
    const CGdiplusBitmapPtr source = CreateBitmapOnDib(src);
    if (!IsUsable(source)) return kNoMemory;
    return DrawIntoDib(
        dst, [&](Gdiplus::Bitmap* target) { return DrawImageScaledF(source.get(), srcRect, target, dstRect, mode); });
}

HRESULT ConvertDibBitCount(const CDib& src, CDib& dst, WORD bitCount)
{
    return ScaleDib(src, src.GetRect(), dst, src.GetSize(), bitCount, Gdiplus::InterpolationModeNearestNeighbor);
}

HRESULT DrawImageIntoDib(Gdiplus::Image* image, const RECT& srcRect, CDib& dst, SIZE size)
{
    if (!image || !dst.Create32AndAlloc(size.cx, size.cy)) return kNoMemory;
    dst.Clear();
    const CGdiplusBitmapPtr target = CreateBitmapOnDib(dst);
    if (!IsUsable(target)) return kNoMemory;
    const RECT dstRect{0, 0, size.cx, size.cy};
    if (!DrawImageScaled(image, srcRect, target.get(), dstRect, Gdiplus::InterpolationModeHighQualityBicubic))
        return kNoMemory;
    return S_OK;
}

HRESULT CDib::FromGdiplusImage(Gdiplus::Image& image, CDibPtr& out)
{
    const UINT width = image.GetWidth(), height = image.GetHeight();
    if (width > LONG_MAX || height > LONG_MAX) return kNoMemory;
    const SIZE size{static_cast<LONG>(width), static_cast<LONG>(height)};
    CDibPtr dib(new CDib, DeleteDib);
    const HRESULT hr = DrawImageIntoDib(&image, RECT{0, 0, size.cx, size.cy}, *dib, size);
    if (FAILED(hr)) return hr;
    dib->SetXPelsPerMeter(DpiToPelsPerMeter(image.GetHorizontalResolution(), 0.5));
    dib->SetYPelsPerMeter(DpiToPelsPerMeter(image.GetVerticalResolution(), 0.5));
    out = dib;
    return S_OK;
}
