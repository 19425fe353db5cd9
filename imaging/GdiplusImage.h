#pragma once
// Bridges between the library's images and GDI+: bitmaps drawn over a CImg in place, texture
// brushes, and GDI+ images loaded from streams, files and resources.
#include "imaging/Img.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <boost/shared_ptr.hpp>

#include <string>

using CGdiplusBitmapPtr = boost::shared_ptr<Gdiplus::Bitmap>;
using CGdiplusImagePtr = boost::shared_ptr<Gdiplus::Image>;
using CTextureBrushPtr = boost::shared_ptr<Gdiplus::TextureBrush>;

// The bitmap points into img.m_bits: the image must outlive it and keep its size. Empty for a
// 0-sized image; the CMYK formats throw the unsupported format error.
CGdiplusBitmapPtr CreateBitmapFromImage(const CImg& img);
CTextureBrushPtr CreateTextureBrush(const CImg& img, Gdiplus::WrapMode wrapMode);
CTextureBrushPtr CreateTextureBrush(const CImg& img, Gdiplus::WrapMode wrapMode, float opacity);

inline Gdiplus::ARGB MakeOpaqueArgb(BYTE red, BYTE green, BYTE blue)
{
    return 0xFF000000u | (static_cast<Gdiplus::ARGB>(red) << 16) | (static_cast<Gdiplus::ARGB>(green) << 8) | blue;
}

// E_FAIL when no image object could be made, E_NOTIMPL when GDI+ could not read the stream
// (out then holds the failed image), WINCODEC_ERR_PALETTEUNAVAILABLE for a GIF of which a frame
// has no colour table, and the stream's own error when it failed before that could be told (out
// left as it was in both).
HRESULT LoadImageFromStream(CGdiplusImagePtr& out, IStream* stream);
HRESULT LoadImageFromFile(CGdiplusImagePtr& out, const std::wstring& path);
HRESULT LoadImageFromResource(CGdiplusImagePtr& out, const wchar_t* name, const wchar_t* type);
