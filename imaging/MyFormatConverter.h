#pragma once
// The library's own format converter: WIC's converter wrapped, except between 32bppCMYK and
// 40bppCMYKAlpha, where the four colour channels are copied byte for byte and the alpha is made
// opaque or dropped, so no colour value changes. Under Wine it also writes grey levels itself where
// Wine's own conversion bends or refuses them.
#include <ComObjectLocal.h>
#include <ComPtr.h>

#include <windows.h>

#include <wincodec.h>

namespace wic {

class CMyFormatConverterBase : public ATL::CComObjectRootEx<ATL::CComMultiThreadModel>, public IWICFormatConverter {
public:
    // Throws the converter creation error when WIC cannot make its own.
    CMyFormatConverterBase();
    virtual ~CMyFormatConverterBase() = default;

    BEGIN_COM_MAP(CMyFormatConverterBase)
        COM_INTERFACE_ENTRY(IWICFormatConverter)
        // WIC is handed this object as a bitmap source and may ask for that interface.
        COM_INTERFACE_ENTRY(IWICBitmapSource)
    END_COM_MAP()

    STDMETHOD(GetSize)(UINT* width, UINT* height) override;
    STDMETHOD(GetPixelFormat)(WICPixelFormatGUID* format) override;
    STDMETHOD(GetResolution)(double* dpiX, double* dpiY) override;
    STDMETHOD(CopyPalette)(IWICPalette* palette) override;
    STDMETHOD(CopyPixels)(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer) override;
    STDMETHOD(Initialize)
    (IWICBitmapSource* source, REFWICPixelFormatGUID dstFormat, WICBitmapDitherType dither, IWICPalette* palette,
     double alphaThresholdPercent, WICBitmapPaletteType paletteTranslate) override;
    STDMETHOD(CanConvert)(REFWICPixelFormatGUID srcFormat, REFWICPixelFormatGUID dstFormat, BOOL* canConvert) override;

    bool CopiesItself() const { return m_copyItself; }

private:
    HRESULT CopyChannels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer);
    HRESULT ConvertSourceToBgra(ATL::CComPtr<IWICFormatConverter>& bgra);
    HRESULT CopyThroughBgra(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer);
    HRESULT CopyGreyLevels(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer);

    ATL::CComPtr<IWICFormatConverter> m_converter;
    bool m_copyItself = false;
    // A reference of its own: when the wrapped converter refused, nothing else keeps it.
    ATL::CComPtr<IWICBitmapSource> m_source;
    UINT m_width = 0;
    UINT m_height = 0;
    int m_srcBytesPerPixel = 0;
    int m_srcFirstChannel = 0;
    int m_srcLastChannel = 0;
    int m_dstBytesPerPixel = 0;
    int m_dstFirstChannel = 0;
    int m_dstLastChannel = 0;
    int m_alphaChannel = -1;
    // The wrapped converter refused the CMYK pair (Wine converts into neither CMYK format): size,
    // resolution and format are answered from the source and the destination format.
    bool m_wrappedRefused = false;
    // Into 8bppGray or BlackWhite, the levels are the luma of the source's BGRA conversion.
    bool m_greyLevels = false;
    WICPixelFormatGUID m_dstFormat = {};
    WICBitmapDitherType m_dither = WICBitmapDitherTypeNone;
    WICBitmapPaletteType m_paletteTranslate = WICBitmapPaletteTypeCustom;
};

class CMyFormatConverter : public ATL::CComObjectLocal<CMyFormatConverterBase> {};

} // namespace wic

// The library's converter with one reference; E_POINTER, E_OUTOFMEMORY or the critical
// section's error, and the creation exception when WIC has no converter to wrap.
HRESULT CreateFormatConverter(IWICFormatConverter** result);
