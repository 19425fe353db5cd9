#include "imaging/ImgLoader.h"

#include "ids/imaging.h"
#include "imaging/ColorProfileLookup.h"
#include "imaging/ImagingFactory.h"
#include "imaging/WicColorContext.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <ComPtr.h>

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <algorithm>
#include <cstdlib>
#include <sstream>

using ATL::CComPtr;

namespace {

using ImgLoaderColor = ImagingTest;

constexpr unsigned kAll = 0x3F;
constexpr unsigned Only(ImgFormat a) { return 1u << a; }

std::bitset<kImgFormatCount> Formats(unsigned mask) { return std::bitset<kImgFormatCount>(mask); }

CImgPtr LoadFile(wic::CImgLoader& loader, const std::wstring& name)
{
    CImgPtr img;
    loader.LoadFromFile(img, ImagingTestData(name));
    return img;
}

// What a failure of WIC's own conversions under this platform looks like, step and code: the road
// is real, the platform cannot walk it (Wine converts into neither CMYK format, its colour
// transform writes no CMYK, and its flip/rotator implements only the vertical flip).
bool PlatformCannot(const my::CException& e)
{
    const struct {
        UINT id;
        HRESULT code;
    } refusals[] = {
        {IDS_WIC_CONVERTER_INIT_FAILED, WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT},
        {IDS_WIC_CONVERTER_INIT_FAILED, WINCODEC_ERR_UNSUPPORTEDOPERATION},
        {IDS_WIC_COLOR_TRANSFORM_INIT_FAILED, WINCODEC_ERR_COMPONENTNOTFOUND},
        {IDS_WIC_DECODE_FAILED, E_NOTIMPL},
    };
    return std::any_of(std::begin(refusals), std::end(refusals),
                       [&e](const auto& r) { return r.id == e.m_id && r.code == static_cast<HRESULT>(e.m_code); });
}

struct CLoadCase {
    const wchar_t* file;
    unsigned formats;
    ImgFormat expected;
    UINT width, height;
};

const CLoadCase kCases[] = {
    {L"basn0g01.png", kAll, MONO1, 32, 32},
    {L"basn0g02.png", kAll, MONO8, 32, 32},
    {L"basn0g04.png", kAll, MONO8, 32, 32},
    {L"basn0g08.png", kAll, MONO8, 32, 32},
    {L"basn0g16.png", kAll, MONO8, 32, 32},
    {L"basn0g04.png", Only(MONO1) | Only(BGRA32), BGRA32, 32, 32},
    {L"basn2c08.png", kAll, BGR24, 32, 32},
    {L"basn2c16.png", kAll, BGR24, 32, 32},
    {L"basn3p01.png", kAll, BGR24, 32, 32},
    {L"basn3p02.png", kAll, BGR24, 32, 32},
    {L"basn3p04.png", kAll, BGR24, 32, 32},
    {L"basn3p08.png", kAll, BGR24, 32, 32},
    {L"basn3p08-trns.png", kAll, BGRA32, 32, 32},
    {L"basn4a08.png", kAll, BGRA32, 32, 32},
    {L"basn4a16.png", kAll, BGRA32, 32, 32},
    {L"basn6a08.png", kAll, BGRA32, 32, 32},
    {L"basn6a16.png", kAll, BGRA32, 32, 32},
    {L"basn6a08.png", Only(BGR24), BGR24, 32, 32},
    {L"index3-transparent.png", kAll, BGRA32, 4, 2},
    {L"video-001.jpeg", kAll, BGR24, 150, 103},
    {L"video-001.cmyk.jpeg", kAll, CMYK32, 150, 103},
    {L"video-001.cmyk.jpeg", Only(BGRA32), BGRA32, 150, 103},
    {L"video-005.gray.jpeg", kAll, MONO8, 150, 103},
    {L"video-001.gif", kAll, BGR24, 150, 103},
    {L"triangle-001.gif", kAll, BGRA32, 0, 0},
    {L"video-005.gray.gif", Only(BGR24) | Only(MONO8), MONO8, 150, 103},
    {L"video-005.gray.gif", kAll, MONO8, 150, 103},
    {L"local-colour-tables.gif", kAll, BGR24, 16, 16},
    {L"grey8-palette.bmp", kAll, MONO8, 16, 16},
    {L"bw-black0.bmp", kAll, MONO1, 13, 7},
    {L"bw-white0.bmp", kAll, MONO1, 13, 7},
    {L"bw-black0.png", kAll, MONO1, 13, 7},
    {L"bw-white0.png", kAll, MONO1, 13, 7},
    {L"video-001.tiff", kAll, BGR24, 150, 103},
    {L"video-001-paletted.tiff", kAll, BGR24, 150, 103},
    {L"video-001-gray-16bit.tiff", kAll, MONO8, 150, 103},
    {L"video-001.bmp", kAll, BGR24, 150, 103},
    {L"cmyk-3x2.tif", kAll, CMYK32, 3, 2},
    {L"cmyk-3x2.tif", Only(CMYKA40), CMYKA40, 3, 2},
    {L"blue-purple-pink-large.png", kAll, BGR24, 0, 0},
    {L"video-001.cmyk.jpeg", Only(BGR24), BGR24, 150, 103},
};

// Conversions of RGB and grey into CMYK: WIC's own road, which Wine does not walk.
const CLoadCase kIntoCmykCases[] = {
    {L"basn2c08.png", Only(CMYKA40), CMYKA40, 32, 32},   {L"basn6a08.png", Only(CMYKA40), CMYKA40, 32, 32},
    {L"video-001.jpeg", Only(CMYK32), CMYK32, 150, 103}, {L"basn0g08.png", Only(CMYKA40), CMYKA40, 32, 32},
    {L"basn0g08.png", Only(CMYK32), CMYK32, 32, 32},
};

// Loads every case; rows the platform cannot convert are listed, not failed.
template <size_t N>
void LoadEveryCase(const CLoadCase (&cases)[N], const CColorProfilePtr& rgb, const CColorProfilePtr& cmyk,
                   std::wstring& cannot)
{
    for (const CLoadCase& c : cases) {
        SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)) + " " + std::to_string(c.formats));
        wic::CImgLoader loader;
        loader.m_formats = Formats(c.formats);
        loader.m_rgbProfile = rgb;
        loader.m_cmykProfile = cmyk;
        CImgPtr img;
        try {
            img = LoadFile(loader, c.file);
        } catch (const my::CException& e) {
            if (PlatformCannot(e)) {
                cannot += std::wstring(L" ") + c.file;
                continue;
            }
            ADD_FAILURE() << "message " << e.m_id << " code " << std::hex << e.m_code;
            continue;
        }
        ASSERT_TRUE(img);
        EXPECT_EQ(img->m_format, c.expected);
        if (c.width) {
            EXPECT_EQ(img->m_w, c.width);
            EXPECT_EQ(img->m_h, c.height);
        }
        EXPECT_TRUE(img->HasAllBits());
        const CColorProfilePtr target = loader.GetTargetProfile(img->m_format);
        if (target) {
            ASSERT_TRUE(img->m_cc);
            EXPECT_EQ(img->m_cc->m_profile, target->GetBytes());
        }
    }
}

} // namespace

TEST_F(ImgLoaderColor, ChoosesFormatsForEveryTestPicture)
{
    std::wstring cannot;
    LoadEveryCase(kCases, CColorProfilePtr(), CColorProfilePtr(), cannot);
    EXPECT_EQ(cannot, L"");
}

TEST_F(ImgLoaderColor, ConvertsRgbAndGreyIntoCmyk)
{
    std::wstring cannot;
    LoadEveryCase(kIntoCmykCases, CColorProfilePtr(), CColorProfilePtr(), cannot);
    if (!cannot.empty()) GTEST_SKIP() << "this WIC cannot convert:" << std::string(cannot.begin(), cannot.end());
}

TEST_F(ImgLoaderColor, ChoosesTheSameFormatsWithTargetProfiles)
{
    auto rgb = boost::make_shared<CColorProfile>();
    ASSERT_HRESULT_SUCCEEDED(rgb->Open(ImagingTestData(L"srgb-v2.icc")));
    CColorProfilePtr cmyk = GetDefaultCmykProfile();
    ASSERT_TRUE(cmyk);
    std::wstring cannot;
    LoadEveryCase(kCases, rgb, cmyk, cannot);
    EXPECT_EQ(cannot, L"");
    cannot.clear();
    LoadEveryCase(kIntoCmykCases, rgb, cmyk, cannot);
    if (!cannot.empty()) GTEST_SKIP() << "this WIC cannot convert:" << std::string(cannot.begin(), cannot.end());
}

TEST_F(ImgLoaderColor, KnownCmykValuesSurviveEveryCmykRoad)
{
    const BYTE expected[2][12] = {{0, 64, 128, 255, 10, 20, 30, 40, 255, 0, 0, 0},
                                  {1, 2, 3, 4, 200, 150, 100, 50, 7, 77, 177, 250}};
    wic::CImgLoader loader;
    loader.m_formats = Formats(Only(CMYK32));
    CImgPtr cmyk = LoadFile(loader, L"cmyk-3x2.tif");
    ASSERT_EQ(cmyk->m_format, CMYK32);
    for (UINT y = 0; y < 2; ++y) {
        EXPECT_TRUE(std::equal(expected[y], expected[y] + 12, cmyk->m_bits.begin() + y * cmyk->GetStride()));
    }
    loader.m_formats = Formats(Only(CMYKA40));
    CImgPtr cmyka = LoadFile(loader, L"cmyk-3x2.tif");
    ASSERT_EQ(cmyka->m_format, CMYKA40);
    for (UINT y = 0; y < 2; ++y) {
        for (UINT x = 0; x < 3; ++x) {
            const BYTE* pixel = cmyka->m_bits.data() + y * cmyka->GetStride() + x * 5;
            EXPECT_TRUE(std::equal(pixel, pixel + 4, expected[y] + x * 4)) << x << "," << y;
            EXPECT_EQ(pixel[4], 255);
        }
    }
    // CMYK with alpha as a file: this WIC may not decode it at all.
    try {
        CImgPtr withAlpha = LoadFile(loader, L"cmyka-2x2.tif");
        ASSERT_EQ(withAlpha->m_format, CMYKA40);
        EXPECT_EQ(withAlpha->m_bits[4], 255);
        EXPECT_EQ(withAlpha->m_bits[9], 128);
    } catch (const my::CException& e) {
        if (e.m_id != IDS_WIC_DECODER_FAILED) throw;
        GTEST_SKIP() << "this WIC does not decode CMYK TIFFs with alpha";
    }
}

TEST_F(ImgLoaderColor, ColourContextsFollowTheFrameAndTheChosenFormat)
{
    wic::CImgLoader loader;
    CImgPtr withIcc = LoadFile(loader, L"blue-purple-pink-large.png");
    ASSERT_TRUE(withIcc->m_cc);
    EXPECT_EQ(withIcc->m_cc->m_type, static_cast<UINT>(CColorContext::PROFILE));
    std::wostringstream dump;
    withIcc->m_cc->Dump(dump);
    EXPECT_EQ(dump.str().find(L"ColorContext type: PROFILE"), 0u);

    // An RGB profile does not describe grey pixels.
    loader.m_formats = Formats(Only(MONO8));
    EXPECT_FALSE(LoadFile(loader, L"blue-purple-pink-large.png")->m_cc);
    loader.m_formats = Formats(kAll);
    loader.m_options = 1;
    EXPECT_FALSE(LoadFile(loader, L"blue-purple-pink-large.png")->m_cc);
    loader.m_options = 0;
    EXPECT_FALSE(LoadFile(loader, L"basn2c08.png")->m_cc);

    // A grey palette chooses grey only when the frame brings no colour context.
    CComPtr<IWICBitmapDecoder> decoder;
    const std::wstring gif = ImagingTestData(L"video-005.gray.gif");
    ASSERT_HRESULT_SUCCEEDED(g_wicFactory->CreateDecoderFromFilename(gif.c_str(), nullptr, GENERIC_READ,
                                                                     WICDecodeMetadataCacheOnDemand, &decoder));
    CComPtr<IWICBitmapFrameDecode> frame;
    ASSERT_HRESULT_SUCCEEDED(decoder->GetFrame(0, &frame));
    CComPtr<IWICColorContext> srgb;
    CreateColorContextFromExif(srgb.p, 1);
    loader.m_formats = Formats(Only(BGR24) | Only(MONO8));
    EXPECT_EQ(loader.Decode(frame, nullptr)->m_format, MONO8);
    CImgPtr rgb = loader.Decode(frame, srgb);
    EXPECT_EQ(rgb->m_format, BGR24);
    ASSERT_TRUE(rgb->m_cc);
    EXPECT_EQ(rgb->m_cc->m_type, static_cast<UINT>(CColorContext::EXIF));
    EXPECT_EQ(rgb->m_cc->m_exifColorSpace, 1u);
}

TEST_F(ImgLoaderColor, TargetProfilesByFormatAndRefusals)
{
    wic::CImgLoader loader;
    loader.m_rgbProfile = boost::make_shared<CColorProfile>();
    loader.m_cmykProfile = boost::make_shared<CColorProfile>();
    EXPECT_EQ(loader.GetTargetProfile(BGRA32), loader.m_rgbProfile);
    EXPECT_EQ(loader.GetTargetProfile(BGR24), loader.m_rgbProfile);
    EXPECT_EQ(loader.GetTargetProfile(CMYKA40), loader.m_cmykProfile);
    EXPECT_EQ(loader.GetTargetProfile(CMYK32), loader.m_cmykProfile);
    EXPECT_FALSE(loader.GetTargetProfile(MONO8));
    EXPECT_FALSE(loader.GetTargetProfile(MONO1));
    EXPECT_EQ(ThrownId([&] { loader.GetTargetProfile(static_cast<ImgFormat>(6)); }),
              static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));

    const struct {
        const wchar_t* file;
        unsigned formats;
        UINT id;
    } refusals[] = {
        {L"basn2c08.png", 0, IDS_WIC_UNKNOWN_FORMAT},
        {L"srgb-v2.icc", kAll, IDS_WIC_DECODER_FAILED},
        // Wine's CopyPalette crashes on a GIF frame without colour tables: refused before it is asked.
        {L"no-colour-table.gif", kAll, IDS_IMAGE_NO_COLOR_TABLE},
        {L"no-colour-table-first.gif", kAll, IDS_IMAGE_NO_COLOR_TABLE},
    };
    for (const auto& r : refusals) {
        SCOPED_TRACE(std::string(r.file, r.file + wcslen(r.file)));
        wic::CImgLoader refusing;
        refusing.m_formats = Formats(r.formats);
        EXPECT_EQ(ThrownId([&] { LoadFile(refusing, r.file); }), r.id);
    }
}

TEST_F(ImgLoaderColor, OrientationTurnsTheResult)
{
    wic::CImgLoader loader;
    loader.m_orientation = 4; // vertical flip
    CImgPtr flipped = LoadFile(loader, L"cmyk-3x2.tif");
    ASSERT_EQ(flipped->m_format, CMYK32);
    EXPECT_EQ(flipped->m_bits[0], 1); // the bottom row first
    loader.m_orientation = 6;
    try {
        CImgPtr turned = LoadFile(loader, L"video-001.bmp");
        EXPECT_EQ(turned->m_w, 103u);
        EXPECT_EQ(turned->m_h, 150u);
    } catch (const my::CException& e) {
        if (!PlatformCannot(e)) throw;
        GTEST_SKIP() << "this WIC's flip/rotator implements only the vertical flip";
    }
}

// The narrow formats hold what an independent decoder (ImageMagick, at staging) reads from the
// same picture: grey levels, black and white, BGR bytes, the Rec. 709 luma of a colour picture.
// Under Wine the converter's fallbacks make them: Wine bends grey levels and refuses 1-bit palettes.
TEST_F(ImgLoaderColor, NarrowFormatsMatchAnIndependentDecoder)
{
    const struct {
        const wchar_t* file;
        ImgFormat format;
        int tolerance; // 1 where 16-bit samples or the luma are rounded another way
    } cases[] = {
        {L"grey8-palette.bmp", MONO8, 0}, {L"video-005.gray.gif", MONO8, 0},
        {L"bw-black0.bmp", MONO1, 0},     {L"bw-white0.bmp", MONO1, 0},
        {L"bw-black0.png", MONO1, 0},     {L"bw-white0.png", MONO1, 0},
        {L"basn0g02.png", MONO8, 0},      {L"basn0g04.png", MONO8, 0},
        {L"basn0g16.png", MONO8, 1},      {L"video-001-gray-16bit.tiff", MONO8, 0},
        {L"basn2c08.png", MONO8, 1},      {L"basn3p04.png", BGR24, 0},
        {L"basn2c16.png", BGR24, 1},      {L"basn3p01.png", BGR24, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)));
        wic::CImgLoader loader;
        loader.m_formats = Formats(Only(c.format));
        CImgPtr img = LoadFile(loader, c.file);
        ASSERT_EQ(img->m_format, c.format);
        const UINT channels = c.format == BGR24 ? 3 : 1;
        const std::vector<BYTE> reference = ReadTestFile(c.file + std::wstring(channels == 3 ? L".bgr" : L".grey"));
        ASSERT_EQ(reference.size(), size_t{img->m_w} * img->m_h * channels);
        int worst = 0;
        for (UINT y = 0; y < img->m_h; ++y) {
            const BYTE* row = img->m_bits.data() + y * img->GetStride();
            for (UINT i = 0; i < img->m_w * channels; ++i) {
                const int level = c.format == MONO1 ? (row[i / 8] >> (7 - i % 8) & 1) * 255 : row[i];
                worst = std::max(worst, std::abs(level - reference[y * img->m_w * channels + i]));
            }
        }
        EXPECT_LE(worst, c.tolerance);
    }
}

TEST_F(ImgLoaderColor, AlphaSurvivesTheCmykTransforms)
{
    auto rgb = boost::make_shared<CColorProfile>();
    ASSERT_HRESULT_SUCCEEDED(rgb->Open(ImagingTestData(L"srgb-v2.icc")));
    wic::CImgLoader loader;
    loader.m_formats = Formats(Only(BGRA32));
    CImgPtr bgra = LoadFile(loader, L"basn6a08.png");
    loader.m_cmykProfile = GetDefaultCmykProfile();
    loader.m_rgbProfile = rgb;
    // CMYK into BGRA through the transforms: the alpha the CMYK image had (opaque) is kept.
    loader.m_formats = Formats(Only(CMYKA40));
    CImgPtr cmykAlpha = LoadFile(loader, L"cmyk-3x2.tif");
    ASSERT_EQ(cmykAlpha->m_format, CMYKA40);
    loader.m_formats = Formats(Only(BGRA32));
    CImgPtr back = LoadFile(loader, L"cmyk-3x2.tif");
    ASSERT_EQ(back->m_format, BGRA32);
    for (UINT x = 0; x < 3; ++x) EXPECT_EQ(back->m_bits[x * 4 + 3], 255);
    ASSERT_TRUE(back->m_cc);
    EXPECT_EQ(back->m_cc->m_profile, rgb->GetBytes());
    // RGB with alpha into CMYK with alpha.
    loader.m_formats = Formats(Only(CMYKA40));
    CImgPtr cmyka;
    try {
        cmyka = LoadFile(loader, L"basn6a08.png");
    } catch (const my::CException& e) {
        if (!PlatformCannot(e)) throw;
        GTEST_SKIP() << "this WIC's colour transform does not write 32bppCMYK";
    }
    ASSERT_EQ(cmyka->m_format, CMYKA40);
    for (UINT y = 0; y < 32; y += 7) {
        for (UINT x = 0; x < 32; x += 5) {
            EXPECT_EQ(cmyka->m_bits[y * cmyka->GetStride() + x * 5 + 4],
                      bgra->m_bits[y * bgra->GetStride() + x * 4 + 3])
                << x << "," << y;
        }
    }
}
