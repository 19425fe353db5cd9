#include "imaging/WicPixelFormat.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"

#include <ComPtr.h>

namespace {

struct CFormatClass {
    const GUID* guid;
    ImgColorType type;
    int bits;
    bool alpha;
};

using T = ImgColorType;

const CFormatClass kFormats[] = {
    {&GUID_WICPixelFormat1bppIndexed, T::Indexed, 1, false},
    {&GUID_WICPixelFormat2bppIndexed, T::Indexed, 2, false},
    {&GUID_WICPixelFormat4bppIndexed, T::Indexed, 4, false},
    {&GUID_WICPixelFormat8bppIndexed, T::Indexed, 8, false},
    {&GUID_WICPixelFormatBlackWhite, T::Gray, 1, false},
    {&GUID_WICPixelFormat2bppGray, T::Gray, 2, false},
    {&GUID_WICPixelFormat4bppGray, T::Gray, 4, false},
    {&GUID_WICPixelFormat8bppGray, T::Gray, 8, false},
    {&GUID_WICPixelFormat16bppGray, T::Gray, 16, false},
    {&GUID_WICPixelFormat16bppGrayFixedPoint, T::Gray, 16, false},
    {&GUID_WICPixelFormat16bppGrayHalf, T::Gray, 16, false},
    {&GUID_WICPixelFormat32bppGrayFloat, T::Gray, 32, false},
    {&GUID_WICPixelFormat32bppGrayFixedPoint, T::Gray, 32, false},
    {&GUID_WICPixelFormat16bppBGR555, T::Rgb, 16, false},
    {&GUID_WICPixelFormat16bppBGR565, T::Rgb, 16, false},
    {&GUID_WICPixelFormat16bppBGRA5551, T::Rgb, 16, true},
    {&GUID_WICPixelFormat24bppBGR, T::Rgb, 24, false},
    {&GUID_WICPixelFormat24bppRGB, T::Rgb, 24, false},
    {&GUID_WICPixelFormat32bppBGR, T::Rgb, 32, false},
    {&GUID_WICPixelFormat32bppBGR101010, T::Rgb, 32, false},
    {&GUID_WICPixelFormat32bppRGBE, T::Rgb, 32, false},
    {&GUID_WICPixelFormat32bppBGRA, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppPBGRA, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppRGB, T::Rgb, 32, false},
    {&GUID_WICPixelFormat32bppRGBA, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppPRGBA, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppRGBA1010102, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppRGBA1010102XR, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppR10G10B10A2, T::Rgb, 32, true},
    {&GUID_WICPixelFormat32bppR10G10B10A2HDR10, T::Rgb, 32, true},
    {&GUID_WICPixelFormat48bppRGB, T::Rgb, 48, false},
    {&GUID_WICPixelFormat48bppRGBFixedPoint, T::Rgb, 48, false},
    {&GUID_WICPixelFormat48bppRGBHalf, T::Rgb, 48, false},
    {&GUID_WICPixelFormat48bppBGR, T::Rgb, 48, false},
    {&GUID_WICPixelFormat48bppBGRFixedPoint, T::Rgb, 48, false},
    {&GUID_WICPixelFormat64bppRGBA, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppPRGBA, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppRGBAFixedPoint, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppBGRA, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppPBGRA, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppBGRAFixedPoint, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppPRGBAHalf, T::Rgb, 64, true},
    {&GUID_WICPixelFormat64bppRGB, T::Rgb, 64, false},
    {&GUID_WICPixelFormat64bppRGBFixedPoint, T::Rgb, 64, false},
    {&GUID_WICPixelFormat64bppRGBHalf, T::Rgb, 64, false},
    {&GUID_WICPixelFormat64bppRGBAHalf, T::Rgb, 64, false},
    {&GUID_WICPixelFormat96bppRGBFixedPoint, T::Rgb, 96, false},
    {&GUID_WICPixelFormat96bppRGBFloat, T::Rgb, 96, false},
    {&GUID_WICPixelFormat128bppRGBFloat, T::Rgb, 128, false},
    {&GUID_WICPixelFormat128bppRGBAFloat, T::Rgb, 128, false},
    {&GUID_WICPixelFormat128bppRGBFixedPoint, T::Rgb, 128, false},
    {&GUID_WICPixelFormat128bppPRGBAFloat, T::Rgb, 128, true},
    {&GUID_WICPixelFormat128bppRGBAFixedPoint, T::Rgb, 128, true},
    {&GUID_WICPixelFormat32bppCMYK, T::Cmyk, 32, false},
    {&GUID_WICPixelFormat64bppCMYK, T::Cmyk, 64, false},
    {&GUID_WICPixelFormat40bppCMYKAlpha, T::Cmyk, 40, true},
    {&GUID_WICPixelFormat80bppCMYKAlpha, T::Cmyk, 80, true},
    {&GUID_WICPixelFormat24bpp3Channels, T::None, 24, false},
    {&GUID_WICPixelFormat48bpp3Channels, T::None, 48, false},
    {&GUID_WICPixelFormat32bpp4Channels, T::None, 32, false},
    {&GUID_WICPixelFormat64bpp4Channels, T::None, 64, false},
    {&GUID_WICPixelFormat40bpp5Channels, T::None, 40, false},
    {&GUID_WICPixelFormat80bpp5Channels, T::None, 80, false},
    {&GUID_WICPixelFormat48bpp6Channels, T::None, 48, false},
    {&GUID_WICPixelFormat96bpp6Channels, T::None, 96, false},
    {&GUID_WICPixelFormat56bpp7Channels, T::None, 56, false},
    {&GUID_WICPixelFormat112bpp7Channels, T::None, 112, false},
    {&GUID_WICPixelFormat64bpp8Channels, T::None, 64, false},
    {&GUID_WICPixelFormat128bpp8Channels, T::None, 128, false},
    {&GUID_WICPixelFormat32bpp3ChannelsAlpha, T::None, 32, true},
    {&GUID_WICPixelFormat64bpp3ChannelsAlpha, T::None, 64, true},
    {&GUID_WICPixelFormat40bpp4ChannelsAlpha, T::None, 40, true},
    {&GUID_WICPixelFormat80bpp4ChannelsAlpha, T::None, 80, true},
    {&GUID_WICPixelFormat48bpp5ChannelsAlpha, T::None, 48, true},
    {&GUID_WICPixelFormat96bpp5ChannelsAlpha, T::None, 96, true},
    {&GUID_WICPixelFormat56bpp6ChannelsAlpha, T::None, 56, true},
    {&GUID_WICPixelFormat112bpp6ChannelsAlpha, T::None, 112, true},
    {&GUID_WICPixelFormat64bpp7ChannelsAlpha, T::None, 64, true},
    {&GUID_WICPixelFormat128bpp7ChannelsAlpha, T::None, 128, true},
    {&GUID_WICPixelFormat72bpp8ChannelsAlpha, T::None, 72, true},
    {&GUID_WICPixelFormat144bpp8ChannelsAlpha, T::None, 144, true},
    // Planes and coefficients of a JPEG's YCbCr road, and bare alpha: no colour model of their own.
    {&GUID_WICPixelFormat8bppY, T::None, 8, false},
    {&GUID_WICPixelFormat8bppCb, T::None, 8, false},
    {&GUID_WICPixelFormat8bppCr, T::None, 8, false},
    {&GUID_WICPixelFormat16bppCbCr, T::None, 16, false},
    {&GUID_WICPixelFormat16bppYQuantizedDctCoefficients, T::None, 16, false},
    {&GUID_WICPixelFormat16bppCbQuantizedDctCoefficients, T::None, 16, false},
    {&GUID_WICPixelFormat16bppCrQuantizedDctCoefficients, T::None, 16, false},
    {&GUID_WICPixelFormat8bppAlpha, T::None, 8, true},
};

const GUID* const kImgFormats[kImgFormatCount] = {
    &GUID_WICPixelFormat32bppBGRA, &GUID_WICPixelFormat24bppBGR, &GUID_WICPixelFormat40bppCMYKAlpha,
    &GUID_WICPixelFormat32bppCMYK, &GUID_WICPixelFormat8bppGray, &GUID_WICPixelFormatBlackWhite,
};

} // namespace

void ClassifyPixelFormat(WicPixelFormatInfo& info)
{
    info.Clear();
    for (const CFormatClass& entry : kFormats) {
        if (*entry.guid != info.guid) continue;
        info.colorType = entry.type;
        info.bitsPerPixel = entry.bits;
        info.hasAlpha = entry.alpha;
        return;
    }
}

void GetPixelFormatInfo(WicPixelFormatInfo& info, IWICBitmapSource* source)
{
    const HRESULT hr = source->GetPixelFormat(&info.guid);
    if (FAILED(hr)) throw my::CException(IDS_WIC_PIXEL_FORMAT_FAILED, hr);
    ClassifyPixelFormat(info);
}

const GUID& ImgFormatToWicFormat(ImgFormat format)
{
    if (format >= kImgFormatCount) throw my::CException(IDS_UNSUPPORTED_IMAGE_FORMAT);
    return *kImgFormats[format];
}

int WicFormatToImgFormat(const GUID& format)
{
    for (UINT i = 0; i < kImgFormatCount; ++i) {
        if (*kImgFormats[i] == format) return static_cast<int>(i);
    }
    return -1;
}

WICBitmapPaletteType ImgFormatPaletteType(ImgFormat format)
{
    switch (format) {
    case BGRA32:
    case BGR24:
    case CMYKA40:
    case CMYK32: return WICBitmapPaletteTypeCustom;
    case MONO8: return WICBitmapPaletteTypeFixedGray256;
    case MONO1: return WICBitmapPaletteTypeFixedBW;
    }
    throw my::CException(IDS_UNSUPPORTED_IMAGE_FORMAT);
}

WICBitmapTransformOptions OrientationToTransform(int orientation)
{
    switch (orientation) {
    case 2: return WICBitmapTransformFlipHorizontal;
    case 3: return WICBitmapTransformRotate180;
    case 4: return WICBitmapTransformFlipVertical;
    case 5: return static_cast<WICBitmapTransformOptions>(11);
    case 6: return WICBitmapTransformRotate90;
    case 7: return static_cast<WICBitmapTransformOptions>(9);
    case 8: return WICBitmapTransformRotate270;
    default: return WICBitmapTransformRotate0;
    }
}

namespace {

struct CFallback {
    const GUID* guid;
    int bits;
};

CFallback Fallback(const WicPixelFormatInfo& info)
{
    if (info.hasAlpha) return {&GUID_WICPixelFormat32bppBGRA, 32};
    if (info.colorType == ImgColorType::Indexed || info.colorType == ImgColorType::Gray) {
        if (info.bitsPerPixel > 4) return {&GUID_WICPixelFormat8bppIndexed, 8};
        if (info.bitsPerPixel >= 2) return {&GUID_WICPixelFormat4bppIndexed, 4};
        return {&GUID_WICPixelFormat1bppIndexed, 1};
    }
    if (info.bitsPerPixel <= 16) return {&GUID_WICPixelFormat16bppBGR555, 16};
    return {&GUID_WICPixelFormat24bppBGR, 24};
}

} // namespace

const GUID& FallbackPixelFormat(const WicPixelFormatInfo& info) { return *Fallback(info).guid; }

int FallbackBitsPerPixel(const WicPixelFormatInfo& info) { return Fallback(info).bits; }
