#pragma once
// GDI+ bitmaps over a CDib's memory or copied from it, and DIBs scaled, converted between bit
// counts and drawn from images through GDI+.
#include "imaging/Dib.h"
#include "imaging/GdiplusImage.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

// 32- and 8-bit DIBs: a bitmap over the DIB's own memory (the DIB must outlive it); other bit
// counts: a copy. Empty when no bitmap could be made.
CGdiplusBitmapPtr CreateBitmapOnDib(const CDib& dib);
// A bitmap with pixel memory of its own; empty for 1- and 4-bit DIBs, for bit fields other than
// 5-5-5 and 5-6-5 (16 bits) or 8-8-8 (32 bits), and on failure.
CGdiplusBitmapPtr CreateBitmapCopyOfDib(const CDib& dib, bool keepAlpha);

// S_OK; HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY) when a block or a bitmap cannot be made;
// E_INVALIDARG for an unusable source or size, or when GDI+ cannot draw.
HRESULT CreateScaledDibLike(CDib& dst, const CDib& src, int width, int height, WORD bitCount);
HRESULT ScaleDib(const CDib& src, const RECT& srcRect, CDib& dst, SIZE dstSize, WORD bitCount,
                 Gdiplus::InterpolationMode mode);
HRESULT ScaleDib(const CDib& src, const RECT& srcRect, CDib& dst, SIZE dstSize, Gdiplus::InterpolationMode mode);
HRESULT ScaleDibF(const CDib& src, const Gdiplus::RectF& srcRect, CDib& dst, const Gdiplus::RectF& dstRect,
                  WORD bitCount, Gdiplus::InterpolationMode mode);
HRESULT ConvertDibBitCount(const CDib& src, CDib& dst, WORD bitCount);
// dst becomes a cleared 32-bit DIB of the size with srcRect of the image drawn over it.
HRESULT DrawImageIntoDib(Gdiplus::Image* image, const RECT& srcRect, CDib& dst, SIZE size);
