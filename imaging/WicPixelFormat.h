#pragma once
// Classification of WIC pixel formats, the mapping of the six image formats to WIC's, and the
// palette reads the loader needs.
#include "imaging/ImgFormat.h"
#include "imaging/WicPalette.h"

#include <windows.h>

#include <wincodec.h>

struct WicPixelFormatInfo {
    GUID guid = {};
    bool hasAlpha = false;
    ImgColorType colorType = ImgColorType::None;
    int bitsPerPixel = 0;

    void Clear()
    {
        hasAlpha = false;
        colorType = ImgColorType::None;
        bitsPerPixel = 0;
    }
};

void ClassifyPixelFormat(WicPixelFormatInfo& info);
void GetPixelFormatInfo(WicPixelFormatInfo& info, IWICBitmapSource* source);
// Throws the unsupported format error for a value outside the enumeration.
const GUID& ImgFormatToWicFormat(ImgFormat format);
// -1 when no image format has that layout.
int WicFormatToImgFormat(const GUID& format);
// Throws the unsupported format error for a value outside the enumeration.
WICBitmapPaletteType ImgFormatPaletteType(ImgFormat format);
WICBitmapTransformOptions OrientationToTransform(int orientation);

// The smallest plain WIC format that holds the classified one; the two always agree.
const GUID& FallbackPixelFormat(const WicPixelFormatInfo& info);
int FallbackBitsPerPixel(const WicPixelFormatInfo& info);
