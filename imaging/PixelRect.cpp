#include "imaging/PixelRect.h"

HRESULT PlanPixelCopy(const WICRect* rect, UINT width, UINT height, UINT bitsPerPixel, UINT stride, UINT bufferSize,
                      const BYTE* buffer, CPixelCopyPlan& plan)
{
    plan.rect = rect ? *rect : WICRect{0, 0, static_cast<INT>(width), static_cast<INT>(height)};
    const WICRect& r = plan.rect;
    if (!rect && (width > 0x7FFFFFFF || height > 0x7FFFFFFF)) return E_INVALIDARG;
    if (r.X < 0 || r.Y < 0 || r.Width < 0 || r.Height < 0) return E_INVALIDARG;
    if (static_cast<LONGLONG>(r.X) + r.Width > width || static_cast<LONGLONG>(r.Y) + r.Height > height) {
        return E_INVALIDARG;
    }
    plan.rowBytes = (static_cast<ULONGLONG>(bitsPerPixel) * static_cast<ULONGLONG>(r.Width) + 7) / 8;
    if (r.Width == 0 || r.Height == 0) return S_OK;
    if (stride < plan.rowBytes) return E_INVALIDARG;
    const ULONGLONG needed = static_cast<ULONGLONG>(r.Height - 1) * stride + plan.rowBytes;
    if (!buffer || bufferSize < needed) return E_INVALIDARG;
    return S_OK;
}
