#pragma once
// The checks every CopyPixels of our own makes before writing: the rectangle inside the image,
// the stride and the buffer large enough for it, all in 64 bits.
#include <windows.h>

#include <wincodec.h>

struct CPixelCopyPlan {
    WICRect rect = {};
    ULONGLONG rowBytes = 0; // bytes of one rectangle row in the caller's buffer
};

// E_INVALIDARG for a negative size, a rectangle outside width x height, a short stride, a short
// or missing buffer. A rectangle of height or width 0 passes and copies nothing.
HRESULT PlanPixelCopy(const WICRect* rect, UINT width, UINT height, UINT bitsPerPixel, UINT stride, UINT bufferSize,
                      const BYTE* buffer, CPixelCopyPlan& plan);
