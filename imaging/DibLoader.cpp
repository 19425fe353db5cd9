#include "imaging/DibLoader.h"

#include "imaging/GdiplusImage.h"

HRESULT LoadDibFromFile(CDibPtr& out, const std::wstring& path)
{
    CGdiplusImagePtr image;
    const HRESULT hr = LoadImageFromFile(image, path);
    return FAILED(hr) ? hr : CDib::FromGdiplusImage(*image, out);
}

HRESULT LoadDibFromResource(CDibPtr& out, const wchar_t* name, const wchar_t* type)
{
    CGdiplusImagePtr image;
    const HRESULT hr = LoadImageFromResource(image, name, type);
    return FAILED(hr) ? hr : CDib::FromGdiplusImage(*image, out);
}

HRESULT LoadDibFromImage(CDibPtr& out, Gdiplus::Image& image) { return CDib::FromGdiplusImage(image, out); }
