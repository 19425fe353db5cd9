#include "imaging/ImgSource.h"

#include "imaging/PixelRect.h"
#include "imaging/WicPixelFormat.h"

#include <cstring>

namespace wic {

STDMETHODIMP CImgSourceBase::GetSize(UINT* width, UINT* height)
{
    if (!m_img || !width || !height) return E_POINTER;
    *width = m_img->m_w;
    *height = m_img->m_h;
    return S_OK;
}

STDMETHODIMP CImgSourceBase::GetPixelFormat(WICPixelFormatGUID* format)
{
    if (!m_img || !format) return E_POINTER;
    if (m_img->m_format >= kImgFormatCount) return E_NOTIMPL;
    *format = ImgFormatToWicFormat(m_img->m_format);
    return S_OK;
}

STDMETHODIMP CImgSourceBase::GetResolution(double* dpiX, double* dpiY)
{
    if (!m_img || !dpiX || !dpiY) return E_POINTER;
    *dpiX = m_img->m_dpiX;
    *dpiY = m_img->m_dpiY;
    return S_OK;
}

STDMETHODIMP CImgSourceBase::CopyPalette(IWICPalette*) { return WINCODEC_ERR_PALETTEUNAVAILABLE; }

STDMETHODIMP CImgSourceBase::CopyPixels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    if (!m_img) return E_POINTER;
    const UINT bits = m_img->GetBitsPerPixel();
    if (bits == 0) return E_NOTIMPL;
    // Pixels that the image does not hold are never read.
    if (!m_img->HasAllBits()) return E_UNEXPECTED;
    CPixelCopyPlan plan;
    const HRESULT hr = PlanPixelCopy(rect, m_img->m_w, m_img->m_h, bits, stride, bufferSize, buffer, plan);
    if (FAILED(hr)) return hr;
    const WICRect& r = plan.rect;
    if (r.Width == 0 || r.Height == 0) return S_OK;
    const size_t imgStride = m_img->GetStride();
    const ULONGLONG firstBit = static_cast<ULONGLONG>(r.X) * bits;
    const size_t shift = static_cast<size_t>(firstBit % 8);
    if (shift != 0 && bits != 1) return E_NOTIMPL;
    const size_t rowBytes = static_cast<size_t>(plan.rowBytes);
    const size_t start = static_cast<size_t>(firstBit / 8);
    BYTE* out = buffer;
    for (INT i = 0; i < r.Height; ++i, out += stride) {
        const BYTE* row = m_img->m_bits.data() + static_cast<size_t>(r.Y + i) * imgStride;
        if (shift == 0) {
            std::memcpy(out, row + start, rowBytes);
            continue;
        }
        // One-bit pixels from a left edge inside a byte: each output byte joins two source bytes;
        // the byte after the row's last one counts as 0.
        for (size_t b = 0; b < rowBytes; ++b) {
            const BYTE next = start + b + 1 < imgStride ? row[start + b + 1] : 0;
            out[b] = static_cast<BYTE>((row[start + b] << shift) | (next >> (8 - shift)));
        }
    }
    return S_OK;
}

} // namespace wic
