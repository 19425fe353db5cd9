#pragma once
// The small WIC pipeline steps the loader chains: conversion into an image format, colour
// transform, flip and rotation, scaling, and the copy of single channels into an image. Each
// step returns the source to read next; a new object is owned by `out`.
#include "imaging/Img.h"

#include <ComPtr.h>

#include <windows.h>

#include <icm.h>
#include <wincodec.h>

// icm.h maps this name to its own wide function; the pipeline step keeps the plain name.
#undef CreateColorTransform

using CWicSourcePtr = ATL::CComPtr<IWICBitmapSource>;

// The source itself (nothing created) when it already has the format's WIC layout.
IWICBitmapSource* ConvertToImgFormat(IWICBitmapSource* source, const GUID& sourceFormat, ImgFormat format,
                                     CWicSourcePtr& out);
IWICBitmapSource* CreateColorTransform(IWICBitmapSource* source, IWICColorContext* sourceContext,
                                       IWICColorContext* targetContext, ImgFormat format, CWicSourcePtr& out);
// The source itself for options 0.
IWICBitmapSource* ApplyTransformOptions(IWICBitmapSource* source, WICBitmapTransformOptions options,
                                        CWicSourcePtr& out);
IWICBitmapSource* CreateScaler(IWICBitmapSource* source, UINT width, UINT height, WICBitmapInterpolationMode mode,
                               CWicSourcePtr& out);

// Byte channels srcFirst..srcLast of every source pixel into dstFirst..dstLast of the same pixel
// of `img`, whose pixels must already be there; the other channels stay.
void CopyColorChannels(IWICBitmapSource* source, int srcFirst, int srcLast, CImg& img, int dstFirst, int dstLast);
int CheckedUintToInt(UINT value);
