#pragma once
// Scaled drawing between GDI+ images.
#include "imaging/GdiplusImage.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

// A graphics on `dst`, the interpolation mode and half-pixel offsets; true when the graphics could
// be made and the picture was drawn.
bool DrawImageScaled(Gdiplus::Image* src, const RECT& srcRect, Gdiplus::Image* dst, const RECT& dstRect,
                     Gdiplus::InterpolationMode mode);
bool DrawImageScaledF(Gdiplus::Image* src, const Gdiplus::RectF& srcRect, Gdiplus::Image* dst,
                      const Gdiplus::RectF& dstRect, Gdiplus::InterpolationMode mode);
// A new bitmap of the size in the image's pixel format holding the whole image; empty on failure.
CGdiplusBitmapPtr CreateScaledBitmap(const CGdiplusImagePtr& image, int width, int height,
                                     Gdiplus::InterpolationMode mode);
