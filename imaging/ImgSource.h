#pragma once
// A CImg offered to WIC as a bitmap source, so that it can pass through a converter, a colour
// transform, a flip or rotation or a scaler. Release never deletes: the object lives where its
// creator puts it and must outlive every WIC object built on it; the image must outlive it.
#include "imaging/Img.h"

#include <ComObjectLocal.h>

#include <windows.h>

#include <wincodec.h>

namespace wic {

class CImgSourceBase : public ATL::CComObjectRootEx<ATL::CComMultiThreadModel>, public IWICBitmapSource {
public:
    CImgSourceBase() = default;
    virtual ~CImgSourceBase() = default;

    BEGIN_COM_MAP(CImgSourceBase)
        COM_INTERFACE_ENTRY(IWICBitmapSource)
    END_COM_MAP()

    void SetImage(const CImg* img) { m_img = img; }

    STDMETHOD(GetSize)(UINT* width, UINT* height) override;
    STDMETHOD(GetPixelFormat)(WICPixelFormatGUID* format) override;
    STDMETHOD(GetResolution)(double* dpiX, double* dpiY) override;
    STDMETHOD(CopyPalette)(IWICPalette* palette) override;
    STDMETHOD(CopyPixels)(const WICRect* rect, UINT stride, UINT bufferSize, BYTE* buffer) override;

private:
    const CImg* m_img = nullptr; // not owned
};

class CImgSource : public ATL::CComObjectOnlyInterface<CImgSourceBase> {};

} // namespace wic
