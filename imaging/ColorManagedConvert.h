#pragma once
// Conversion of a WIC source into a CImg through a colour transform into a target profile,
// CMYK with and without alpha included. The orientation is applied once on every road.
#include "imaging/Img.h"

#include <ComPtr.h>

#include <windows.h>

#include <wincodec.h>

void ConvertColorManaged(CImg& img, IWICColorContext* target, IWICBitmapSource* source, IWICColorContext* sourceContext,
                         WICBitmapTransformOptions options);
// `intermediate` < 0: no conversion before the transform.
void ConvertWithTransform(CImg& img, IWICBitmapSource* source, const GUID& sourceFormat, int intermediate,
                          IWICColorContext* sourceContext, ImgFormat output, IWICColorContext* target,
                          WICBitmapTransformOptions options);
void ConvertGrayToCmykAlpha(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext,
                            IWICColorContext* target, WICBitmapTransformOptions options);
void ConvertToCmykAlpha(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext, IWICColorContext* target,
                        WICBitmapTransformOptions options);
void ConvertRgbToCmykAlpha(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext,
                           IWICColorContext* target, WICBitmapTransformOptions options);
void ConvertCmykToRgba(CImg& img, IWICBitmapSource* source, IWICColorContext* sourceContext, IWICColorContext* target,
                       WICBitmapTransformOptions options);
// The given context, else one made from the system default profile of the format's colour
// space (held by `out`); throws when there is none.
IWICColorContext* GetSourceColorContext(IWICColorContext* given, ImgFormat format, ATL::CComPtr<IWICColorContext>& out);
