#include "imaging/GdiplusScaling.h"

#include "imaging/GdiplusAlloc.h"

namespace {

template <class Draw>
bool DrawWithMode(Gdiplus::Image* src, Gdiplus::Image* dst, Gdiplus::InterpolationMode mode, Draw draw)
{
    if (!src || !dst) return false;
    Gdiplus::Graphics graphics(dst);
    if (graphics.GetLastStatus() != Gdiplus::Ok) return false;
    graphics.SetInterpolationMode(mode);
    graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
    return draw(graphics) == Gdiplus::Ok;
}

} // namespace

bool DrawImageScaled(Gdiplus::Image* src, const RECT& srcRect, Gdiplus::Image* dst, const RECT& dstRect,
                     Gdiplus::InterpolationMode mode)
{
    return DrawWithMode(src, dst, mode, [&](Gdiplus::Graphics& graphics) {
        const Gdiplus::Rect to(dstRect.left, dstRect.top, dstRect.right - dstRect.left, dstRect.bottom - dstRect.top);
        return graphics.DrawImage(src, to, srcRect.left, srcRect.top, srcRect.right - srcRect.left,
                                  srcRect.bottom - srcRect.top, Gdiplus::UnitPixel);
    });
}

bool DrawImageScaledF(Gdiplus::Image* src, const Gdiplus::RectF& srcRect, Gdiplus::Image* dst,
                      const Gdiplus::RectF& dstRect, Gdiplus::InterpolationMode mode)
{
    return DrawWithMode(src, dst, mode, [&](Gdiplus::Graphics& graphics) {
        return graphics.DrawImage(src, dstRect, srcRect.X, srcRect.Y, srcRect.Width, srcRect.Height,
                                  Gdiplus::UnitPixel);
    });
}

CGdiplusBitmapPtr CreateScaledBitmap(const CGdiplusImagePtr& image, int width, int height,
                                     Gdiplus::InterpolationMode mode)
{
    if (!image) return CGdiplusBitmapPtr();
    CGdiplusBitmapPtr bitmap = GdiplusNew<Gdiplus::Bitmap>(width, height, image->GetPixelFormat());
    if (!bitmap || bitmap->GetLastStatus() != Gdiplus::Ok) return CGdiplusBitmapPtr();
    const RECT whole{0, 0, static_cast<LONG>(image->GetWidth()), static_cast<LONG>(image->GetHeight())};
    if (!DrawImageScaled(image.get(), whole, bitmap.get(), RECT{0, 0, width, height}, mode)) return CGdiplusBitmapPtr();
    return bitmap;
}
