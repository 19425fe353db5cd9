#include "imaging/MyFormatConverter.h"

#include "foundation/Exception.h"
#include "foundation/NoThrow.h"
#include "foundation/Wine.h"
#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"
#include "imaging/PixelRect.h"
#include "imaging/RowBytes.h"
#include "imaging/WicPixelFormat.h"

#include <algorithm>
#include <climits>
#include <new>
#include <vector>

namespace wic {

namespace {

// WIC's converters answer this for pairs they list but cannot copy (Wine: paletted, grey and
// 16-bit sources into 24bppBGR and 8bppGray).
constexpr HRESULT kUnsupportedOperation = static_cast<HRESULT>(0x88982F81);

struct CChannelCopy {
    const GUID* src;
    const GUID* dst;
    int srcBytes, dstBytes, srcFirst, srcLast, dstFirst, dstLast, alpha;
};

const CChannelCopy kChannelCopies[] = {
    {&GUID_WICPixelFormat32bppCMYK, &GUID_WICPixelFormat40bppCMYKAlpha, 4, 5, 0, 3, 0, 3, 4},
    {&GUID_WICPixelFormat40bppCMYKAlpha, &GUID_WICPixelFormat32bppCMYK, 5, 4, 0, 3, 0, 3, -1},
};

ImgColorType ColorTypeOf(const GUID& format)
{
    WicPixelFormatInfo info;
    info.guid = format;
    ClassifyPixelFormat(info);
    return info.colorType;
}

// ITU-R BT.709 luma of gamma-encoded sRGB values, rounded; equal channels give their own level.
BYTE Luma(const BYTE* bgra)
{
    return static_cast<BYTE>((722 * bgra[0] + 7152 * bgra[1] + 2126 * bgra[2] + 5000) / 10000);
}

} // namespace

CMyFormatConverterBase::CMyFormatConverterBase()
{
    ThrowIfFailed(g_wicFactory->CreateFormatConverter(&m_converter), IDS_WIC_CONVERTER_CREATE_FAILED);
}

STDMETHODIMP CMyFormatConverterBase::GetSize(UINT* width, UINT* height)
{
    if (!m_wrappedRefused) return m_converter->GetSize(width, height);
    if (!width || !height) return E_INVALIDARG;
    *width = m_width;
    *height = m_height;
    return S_OK;
}

STDMETHODIMP CMyFormatConverterBase::GetPixelFormat(WICPixelFormatGUID* format)
{
    if (!m_wrappedRefused) return m_converter->GetPixelFormat(format);
    if (!format) return E_INVALIDARG;
    *format = m_dstFormat;
    return S_OK;
}

STDMETHODIMP CMyFormatConverterBase::GetResolution(double* dpiX, double* dpiY)
{
    if (!m_wrappedRefused) return m_converter->GetResolution(dpiX, dpiY);
    return m_source->GetResolution(dpiX, dpiY);
}

STDMETHODIMP CMyFormatConverterBase::CopyPalette(IWICPalette*) { return E_NOTIMPL; }

STDMETHODIMP CMyFormatConverterBase::CanConvert(REFWICPixelFormatGUID srcFormat, REFWICPixelFormatGUID dstFormat,
                                                BOOL* canConvert)
{
    return m_converter->CanConvert(srcFormat, dstFormat, canConvert);
}

STDMETHODIMP CMyFormatConverterBase::Initialize(IWICBitmapSource* source, REFWICPixelFormatGUID dstFormat,
                                                WICBitmapDitherType dither, IWICPalette* palette,
                                                double alphaThresholdPercent, WICBitmapPaletteType paletteTranslate)
{
    m_copyItself = false;
    m_wrappedRefused = false;
    m_greyLevels = false;
    if (!source) return E_INVALIDARG;
    WICPixelFormatGUID srcFormat = {};
    HRESULT hr = source->GetPixelFormat(&srcFormat);
    if (FAILED(hr)) return hr;
    hr = source->GetSize(&m_width, &m_height);
    if (FAILED(hr)) return hr;
    m_source = source;
    m_dstFormat = dstFormat;
    m_dither = dither;
    m_paletteTranslate = paletteTranslate;
    for (const CChannelCopy& copy : kChannelCopies) {
        if (*copy.src != srcFormat || *copy.dst != dstFormat) continue;
        m_srcBytesPerPixel = copy.srcBytes;
        m_srcFirstChannel = copy.srcFirst;
        m_srcLastChannel = copy.srcLast;
        m_dstBytesPerPixel = copy.dstBytes;
        m_dstFirstChannel = copy.dstFirst;
        m_dstLastChannel = copy.dstLast;
        m_alphaChannel = copy.alpha;
        m_copyItself = true;
    }
    const ImgColorType srcType = ColorTypeOf(srcFormat);
    const bool intoGrey = dstFormat == GUID_WICPixelFormat8bppGray || dstFormat == GUID_WICPixelFormatBlackWhite;
    hr = m_converter->Initialize(source, dstFormat, dither, palette, alphaThresholdPercent, paletteTranslate);
    // The channel copy needs nothing of the wrapped converter (Wine converts into neither CMYK
    // format), and neither do the grey levels of a paletted source (Wine refuses 1bppIndexed into
    // BlackWhite here): answer for them.
    if (FAILED(hr) && (m_copyItself || (hr == kUnsupportedOperation && intoGrey && srcType == ImgColorType::Indexed))) {
        m_wrappedRefused = true;
        m_greyLevels = !m_copyItself;
        return S_OK;
    }
    // Wine's conversion into 8bppGray runs the luma through the sRGB curve (128 grey becomes 188);
    // grey sources it does not touch.
    if (SUCCEEDED(hr) && dstFormat == GUID_WICPixelFormat8bppGray && srcType != ImgColorType::Gray &&
        RunningUnderWine()) {
        m_greyLevels = true;
    }
    return hr;
}

STDMETHODIMP CMyFormatConverterBase::CopyPixels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    if (m_copyItself) return CopyChannels(rect, stride, bufferSize, buffer);
    if (m_greyLevels) return CopyGreyLevels(rect, stride, bufferSize, buffer);
    const HRESULT hr = m_converter->CopyPixels(rect, stride, bufferSize, buffer);
    if (hr != kUnsupportedOperation || !m_source) return hr;
    if (m_dstFormat == GUID_WICPixelFormat8bppGray) return CopyGreyLevels(rect, stride, bufferSize, buffer);
    return CopyThroughBgra(rect, stride, bufferSize, buffer);
}

// The source in 32bppBGRA, into which every source converts exactly (palettes included).
HRESULT CMyFormatConverterBase::ConvertSourceToBgra(ATL::CComPtr<IWICFormatConverter>& bgra)
{
    HRESULT hr = g_wicFactory->CreateFormatConverter(&bgra);
    if (SUCCEEDED(hr)) {
        hr = bgra->Initialize(m_source, GUID_WICPixelFormat32bppBGRA, m_dither, nullptr, 0.0,
                              WICBitmapPaletteTypeCustom);
    }
    return FAILED(hr) ? kUnsupportedOperation : S_OK;
}

// Two real WIC conversions chained through 32bppBGRA; taken only where the direct conversion
// refuses to copy (never on Windows).
HRESULT CMyFormatConverterBase::CopyThroughBgra(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    ATL::CComPtr<IWICFormatConverter> toBgra, toTarget;
    HRESULT hr = ConvertSourceToBgra(toBgra);
    if (FAILED(hr)) return hr;
    hr = g_wicFactory->CreateFormatConverter(&toTarget);
    if (SUCCEEDED(hr)) hr = toTarget->Initialize(toBgra, m_dstFormat, m_dither, nullptr, 0.0, m_paletteTranslate);
    if (FAILED(hr)) return kUnsupportedOperation;
    return toTarget->CopyPixels(rect, stride, bufferSize, buffer);
}

// Each level is the luma of the source's BGRA conversion, so a grey or grey-palette source keeps
// its levels exactly; into BlackWhite, levels from 128 up are white (1), the most significant
// bit first. Taken only under Wine, whose own conversion bends the levels or refuses.
HRESULT CMyFormatConverterBase::CopyGreyLevels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    const bool bits = m_dstFormat == GUID_WICPixelFormatBlackWhite;
    CPixelCopyPlan plan;
    HRESULT hr = PlanPixelCopy(rect, m_width, m_height, bits ? 1 : 8, stride, bufferSize, buffer, plan);
    if (FAILED(hr)) return hr;
    const WICRect& r = plan.rect;
    if (r.Width == 0 || r.Height == 0) return S_OK;
    ATL::CComPtr<IWICFormatConverter> bgra;
    hr = ConvertSourceToBgra(bgra);
    if (FAILED(hr)) return hr;
    const ULONGLONG rowSize = static_cast<ULONGLONG>(r.Width) * 4;
    if (rowSize > UINT_MAX) return E_OUTOFMEMORY;
    std::vector<BYTE> row;
    hr = HResultOfCall([&] {
        row.resize(static_cast<size_t>(rowSize));
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    BYTE* out = buffer;
    for (INT i = 0; i < r.Height; ++i, out += stride) {
        const WICRect one = {r.X, r.Y + i, r.Width, 1};
        hr = bgra->CopyPixels(&one, static_cast<UINT>(rowSize), static_cast<UINT>(rowSize), row.data());
        if (FAILED(hr)) return hr;
        if (!bits) {
            for (size_t p = 0; p < static_cast<size_t>(r.Width); ++p) out[p] = Luma(&row[p * 4]);
            continue;
        }
        std::fill(out, out + plan.rowBytes, BYTE{0});
        for (size_t p = 0; p < static_cast<size_t>(r.Width); ++p) {
            if (Luma(&row[p * 4]) >= 128) out[p / 8] |= static_cast<BYTE>(0x80 >> (p % 8));
        }
    }
    return S_OK;
}

HRESULT CMyFormatConverterBase::CopyChannels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer)
{
    CPixelCopyPlan plan;
    HRESULT hr = PlanPixelCopy(rect, m_width, m_height, static_cast<UINT>(m_dstBytesPerPixel * 8), stride, bufferSize,
                               buffer, plan);
    if (FAILED(hr)) return hr;
    const WICRect& r = plan.rect;
    if (r.Width == 0 || r.Height == 0) return S_OK;
    const ULONGLONG rowSize = AlignedRowBytes(static_cast<ULONGLONG>(r.Width), m_srcBytesPerPixel * 8ULL);
    if (rowSize > UINT_MAX) return E_OUTOFMEMORY;
    std::vector<BYTE> row;
    hr = HResultOfCall([&] {
        row.assign(static_cast<size_t>(rowSize), 0);
        return S_OK;
    });
    if (FAILED(hr)) return hr;
    const int channels = m_dstLastChannel - m_dstFirstChannel + 1;
    BYTE* out = buffer;
    for (INT i = 0; i < r.Height; ++i, out += stride) {
        const WICRect one = {r.X, r.Y + i, r.Width, 1};
        hr = m_source->CopyPixels(&one, static_cast<UINT>(rowSize), static_cast<UINT>(rowSize), row.data());
        if (FAILED(hr)) return hr;
        for (size_t p = 0; p < static_cast<size_t>(r.Width); ++p) {
            BYTE* dst = out + p * m_dstBytesPerPixel + m_dstFirstChannel;
            const BYTE* src = row.data() + p * m_srcBytesPerPixel + m_srcFirstChannel;
            for (int c = 0; c < channels; ++c) dst[c] = src[c];
            if (m_alphaChannel >= 0) dst[m_alphaChannel] = 255;
        }
    }
    return S_OK;
}

} // namespace wic

HRESULT CreateFormatConverter(IWICFormatConverter** result)
{
    if (!result) return E_POINTER;
    *result = nullptr;
    auto* object = new (std::nothrow) wic::CMyFormatConverter(); // the WIC failure leaves as its exception
    if (!object) return E_OUTOFMEMORY;
    HRESULT hr = object->_AtlInitialConstruct();
    if (SUCCEEDED(hr)) hr = object->QueryInterface(IID_IWICFormatConverter, reinterpret_cast<void**>(result));
    if (FAILED(hr)) delete object;
    return hr;
}
