#include "imaging/WicPixelFormat.h"

#include "ids/imaging.h"
#include "imaging/ImagingFactory.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <ComPtr.h>

#include <gtest/gtest.h>

using ATL::CComPtr;

namespace {

using WicPixelFormat = ImagingTest;

// Every pixel format WIC lists here, with its own bit count, channel count and transparency.
struct CWicInfo {
    GUID guid;
    UINT bits;
    UINT channels;
    BOOL transparency;
    std::wstring name;
};

std::vector<CWicInfo> EnumerateWicFormats()
{
    std::vector<CWicInfo> formats;
    CComPtr<IEnumUnknown> items;
    if (FAILED(g_wicFactory->CreateComponentEnumerator(WICPixelFormat, WICComponentEnumerateDefault, &items))) {
        return formats;
    }
    CComPtr<IUnknown> item;
    ULONG fetched = 0;
    while (items->Next(1, &item, &fetched) == S_OK) {
        CComPtr<IWICPixelFormatInfo> info;
        if (SUCCEEDED(item->QueryInterface(IID_IWICPixelFormatInfo, reinterpret_cast<void**>(&info)))) {
            CWicInfo entry = {};
            info->GetFormatGUID(&entry.guid);
            info->GetBitsPerPixel(&entry.bits);
            info->GetChannelCount(&entry.channels);
            CComPtr<IWICPixelFormatInfo2> info2;
            if (SUCCEEDED(info->QueryInterface(IID_IWICPixelFormatInfo2, reinterpret_cast<void**>(&info2)))) {
                info2->SupportsTransparency(&entry.transparency);
            }
            wchar_t name[128] = {};
            UINT length = 0;
            info->GetFriendlyName(128, name, &length);
            entry.name = name;
            formats.push_back(entry);
        }
        item.Release();
    }
    return formats;
}

} // namespace

TEST_F(WicPixelFormat, ClassificationAgreesWithWicsComponentInfo)
{
    const std::vector<CWicInfo> formats = EnumerateWicFormats();
    ASSERT_GT(formats.size(), 10u);
    int classified = 0;
    for (const CWicInfo& wic : formats) {
        SCOPED_TRACE(std::string(wic.name.begin(), wic.name.end()));
        WicPixelFormatInfo info;
        info.guid = wic.guid;
        ClassifyPixelFormat(info);
        if (info.bitsPerPixel == 0) {
            ADD_FAILURE() << "the table lacks this format";
            continue;
        }
        ++classified;
        EXPECT_EQ(static_cast<UINT>(info.bitsPerPixel), wic.bits);
        // Two formats are classified without alpha on purpose although they carry it.
        const bool halfOrFloatRgba = wic.guid == GUID_WICPixelFormat64bppRGBAHalf ||
                                     wic.guid == GUID_WICPixelFormat128bppRGBAFloat;
        if (!halfOrFloatRgba && wic.guid != GUID_WICPixelFormat32bppBGR) {
            if (info.colorType == ImgColorType::Rgb || info.colorType == ImgColorType::Cmyk) {
                EXPECT_EQ(info.hasAlpha, wic.channels == (info.colorType == ImgColorType::Rgb ? 4u : 5u));
            }
        }
        if (info.colorType == ImgColorType::Gray || info.colorType == ImgColorType::Indexed) {
            EXPECT_EQ(wic.channels, 1u);
            EXPECT_FALSE(info.hasAlpha);
        }
    }
    EXPECT_GT(classified, 10);
}

TEST_F(WicPixelFormat, TableCases)
{
    const struct {
        const GUID* guid;
        ImgColorType type;
        int bits;
        bool alpha;
        const GUID* fallback;
        int fallbackBits;
    } cases[] = {
        {&GUID_WICPixelFormat64bppRGBAHalf, ImgColorType::Rgb, 64, false, &GUID_WICPixelFormat24bppBGR, 24},
        {&GUID_WICPixelFormat128bppRGBAFloat, ImgColorType::Rgb, 128, false, &GUID_WICPixelFormat24bppBGR, 24},
        {&GUID_WICPixelFormat32bppPBGRA, ImgColorType::Rgb, 32, true, &GUID_WICPixelFormat32bppBGRA, 32},
        {&GUID_WICPixelFormat40bpp5Channels, ImgColorType::None, 40, false, &GUID_WICPixelFormat24bppBGR, 24},
        {&GUID_WICPixelFormat2bppIndexed, ImgColorType::Indexed, 2, false, &GUID_WICPixelFormat4bppIndexed, 4},
        {&GUID_WICPixelFormat2bppGray, ImgColorType::Gray, 2, false, &GUID_WICPixelFormat4bppIndexed, 4},
        {&GUID_WICPixelFormatBlackWhite, ImgColorType::Gray, 1, false, &GUID_WICPixelFormat1bppIndexed, 1},
        {&GUID_WICPixelFormat16bppGray, ImgColorType::Gray, 16, false, &GUID_WICPixelFormat8bppIndexed, 8},
        {&GUID_WICPixelFormat16bppBGR565, ImgColorType::Rgb, 16, false, &GUID_WICPixelFormat16bppBGR555, 16},
        {&GUID_WICPixelFormat40bppCMYKAlpha, ImgColorType::Cmyk, 40, true, &GUID_WICPixelFormat32bppBGRA, 32},
        {&GUID_WICPixelFormat32bppCMYK, ImgColorType::Cmyk, 32, false, &GUID_WICPixelFormat24bppBGR, 24},
        {&GUID_WICPixelFormat72bpp8ChannelsAlpha, ImgColorType::None, 72, true, &GUID_WICPixelFormat32bppBGRA, 32},
        {&GUID_NULL, ImgColorType::None, 0, false, &GUID_WICPixelFormat16bppBGR555, 16},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bits);
        WicPixelFormatInfo info;
        info.guid = *c.guid;
        info.hasAlpha = true;
        info.bitsPerPixel = 99;
        ClassifyPixelFormat(info);
        EXPECT_EQ(info.colorType, c.type);
        EXPECT_EQ(info.bitsPerPixel, c.bits);
        EXPECT_EQ(info.hasAlpha, c.alpha);
        EXPECT_EQ(FallbackPixelFormat(info), *c.fallback);
        EXPECT_EQ(FallbackBitsPerPixel(info), c.fallbackBits);
    }
}

TEST_F(WicPixelFormat, ImageFormatsMapBothWaysWithTheirPaletteTypes)
{
    const WICBitmapPaletteType palettes[] = {WICBitmapPaletteTypeCustom,       WICBitmapPaletteTypeCustom,
                                             WICBitmapPaletteTypeCustom,       WICBitmapPaletteTypeCustom,
                                             WICBitmapPaletteTypeFixedGray256, WICBitmapPaletteTypeFixedBW};
    for (UINT f = 0; f < kImgFormatCount; ++f) {
        const auto format = static_cast<ImgFormat>(f);
        EXPECT_EQ(WicFormatToImgFormat(ImgFormatToWicFormat(format)), static_cast<int>(f));
        EXPECT_EQ(ImgFormatPaletteType(format), palettes[f]);
    }
    EXPECT_EQ(WicFormatToImgFormat(GUID_WICPixelFormat32bppPBGRA), -1);
    EXPECT_EQ(ThrownId([] { ImgFormatToWicFormat(static_cast<ImgFormat>(6)); }),
              static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    EXPECT_EQ(ThrownId([] { ImgFormatPaletteType(static_cast<ImgFormat>(6)); }),
              static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    const int transforms[] = {0, 0, 8, 2, 16, 11, 1, 9, 3, 0};
    for (int orientation = 0; orientation < 10; ++orientation) {
        EXPECT_EQ(static_cast<int>(OrientationToTransform(orientation)), transforms[orientation]) << orientation;
    }
}
