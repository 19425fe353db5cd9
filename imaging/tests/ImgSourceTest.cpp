#include "imaging/ImgSource.h"

#include "ids/imaging.h"
#include "imaging/WicPipeline.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

namespace {

using ImgSource = ImagingTest;

} // namespace

TEST_F(ImgSource, AnswersFromItsImage)
{
    wic::CImgSource source;
    UINT w = 0, h = 0;
    GUID format = {};
    double x = 0, y = 0;
    BYTE byte = 0;
    EXPECT_EQ(source.GetSize(&w, &h), E_POINTER);
    EXPECT_EQ(source.GetPixelFormat(&format), E_POINTER);
    EXPECT_EQ(source.GetResolution(&x, &y), E_POINTER);
    EXPECT_EQ(source.CopyPixels(nullptr, 4, 4, &byte), E_POINTER);
    EXPECT_EQ(source.CopyPalette(nullptr), WINCODEC_ERR_PALETTEUNAVAILABLE);

    CImg img = PatternedImg(MONO8, 3, 2, 0);
    img.SetDpiX(72);
    img.SetDpiY(96);
    source.SetImage(&img);
    EXPECT_EQ(source.GetSize(&w, &h), S_OK);
    EXPECT_EQ(w, 3u);
    EXPECT_EQ(h, 2u);
    EXPECT_EQ(source.GetPixelFormat(&format), S_OK);
    EXPECT_EQ(format, GUID_WICPixelFormat8bppGray);
    EXPECT_EQ(source.GetResolution(&x, &y), S_OK);
    EXPECT_EQ(x, 72.0);
    EXPECT_EQ(y, 96.0);
    img.m_format = static_cast<ImgFormat>(6);
    EXPECT_EQ(source.GetPixelFormat(&format), E_NOTIMPL);

    // Release at 0 leaves the object to its owner.
    EXPECT_EQ(source.AddRef(), 1u);
    EXPECT_EQ(source.Release(), 0u);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(source.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    EXPECT_EQ(unknown, static_cast<IUnknown*>(&source));
    EXPECT_EQ(source.Release(), 0u);
    EXPECT_EQ(source.QueryInterface(IID_IWICBitmapScaler, reinterpret_cast<void**>(&unknown)), E_NOINTERFACE);
}

TEST_F(ImgSource, OneBitRowsShiftFromTheNextByte)
{
    CImg img(MONO1, 20, 2);
    img.AllocBits();
    const BYTE rows[2][3] = {{0xB5, 0x6C, 0xF0}, {0x0F, 0xA1, 0x30}};
    for (UINT y = 0; y < 2; ++y) std::copy(rows[y], rows[y] + 3, img.m_bits.begin() + y * img.GetStride());
    wic::CImgSource source;
    source.SetImage(&img);
    const WICRect rect = {3, 0, 8, 2};
    BYTE out[8] = {};
    ASSERT_EQ(source.CopyPixels(&rect, 4, 5, out), S_OK);
    EXPECT_EQ(out[0], static_cast<BYTE>((0xB5 << 3) | (0x6C >> 5)));
    EXPECT_EQ(out[4], static_cast<BYTE>((0x0F << 3) | (0xA1 >> 5)));
    const WICRect lastBits = {17, 1, 3, 1};
    BYTE last = 0;
    ASSERT_EQ(source.CopyPixels(&lastBits, 1, 1, &last), S_OK);
    EXPECT_EQ(last, static_cast<BYTE>(0x30 << 1)); // the byte after the row counts as 0
}

TEST_F(ImgSource, BoundsAreCheckedBeforeAnythingIsWritten)
{
    const CImg img = PatternedImg(BGR24, 5, 4, 1);
    wic::CImgSource source;
    source.SetImage(&img);
    const struct {
        const char* what;
        WICRect rect;
        UINT stride;
        UINT size;
        HRESULT hr;
    } cases[] = {
        {"whole image", {0, 0, 5, 4}, 16, 64, S_OK},
        {"last row one byte short", {0, 0, 5, 4}, 16, 3 * 16 + 15 - 1, E_INVALIDARG},
        {"last row exact", {0, 0, 5, 4}, 16, 3 * 16 + 15, S_OK},
        {"short stride", {0, 0, 5, 2}, 14, 64, E_INVALIDARG},
        {"outside to the right", {4, 0, 2, 1}, 16, 64, E_INVALIDARG},
        {"outside below", {0, 3, 1, 2}, 16, 64, E_INVALIDARG},
        {"negative origin", {0, -1, 1, 1}, 16, 64, E_INVALIDARG},
        {"negative size", {0, 0, -5, 1}, 16, 64, E_INVALIDARG},
        {"wrapping size", {1, 1, 0x7FFFFFFF, 0x7FFFFFFF}, 16, 64, E_INVALIDARG},
        {"empty", {2, 2, 0, 0}, 0, 0, S_OK},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BYTE> out(64, 0x77);
        EXPECT_EQ(source.CopyPixels(&c.rect, c.stride, c.size, out.data()), c.hr);
        if (FAILED(c.hr)) {
            EXPECT_EQ(out, std::vector<BYTE>(64, 0x77));
        }
    }
    std::vector<BYTE> out(16 * 4);
    const WICRect part = {1, 2, 3, 2};
    ASSERT_EQ(source.CopyPixels(&part, 16, static_cast<UINT>(out.size()), out.data()), S_OK);
    EXPECT_TRUE(std::equal(out.begin(), out.begin() + 9, img.m_bits.begin() + 2 * img.GetStride() + 3));
    EXPECT_TRUE(std::equal(out.begin() + 16, out.begin() + 25, img.m_bits.begin() + 3 * img.GetStride() + 3));

    CImg missingRows(BGR24, 5, 4);
    missingRows.m_bits.resize(20);
    source.SetImage(&missingRows);
    EXPECT_TRUE(FAILED(source.CopyPixels(nullptr, 16, 64, out.data())));
}

TEST_F(ImgSource, ChannelCopiesBetweenCmykLayouts)
{
    const CImg cmyk = PatternedImg(CMYK32, 3, 2, 5);
    wic::CImgSource source;
    source.SetImage(&cmyk);
    const struct {
        int srcFirst, srcLast, dstFirst, dstLast;
        bool ok;
    } cases[] = {
        {0, 3, 0, 3, true},  {0, 3, 1, 4, true},  {0, 3, 0, 2, false},  {2, 1, 2, 1, false},
        {0, 4, 0, 4, false}, {0, 0, 5, 5, false}, {-1, 0, 0, 1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.dstFirst * 10 + c.dstLast);
        CImg img = PatternedImg(CMYKA40, 3, 2, 200);
        const CImg before = img;
        const UINT id = ThrownId(
            [&] { CopyColorChannels(&source, c.srcFirst, c.srcLast, img, c.dstFirst, c.dstLast); });
        if (!c.ok) {
            EXPECT_EQ(id, static_cast<UINT>(IDS_WIC_COPY_CHANNELS_FAILED));
            EXPECT_TRUE(img == before);
            continue;
        }
        ASSERT_EQ(id, 0u);
        for (UINT y = 0; y < 2; ++y) {
            for (UINT x = 0; x < 3; ++x) {
                const BYTE* dst = img.m_bits.data() + y * img.GetStride() + x * 5;
                const BYTE* old = before.m_bits.data() + y * before.GetStride() + x * 5;
                const BYTE* src = cmyk.m_bits.data() + y * cmyk.GetStride() + x * 4;
                for (int ch = 0; ch < 5; ++ch) {
                    const bool copied = ch >= c.dstFirst && ch <= c.dstLast;
                    EXPECT_EQ(dst[ch], copied ? src[ch - c.dstFirst + c.srcFirst] : old[ch]) << x << "," << y;
                }
            }
        }
    }
    CImg wrongSize = PatternedImg(CMYKA40, 3, 3, 0);
    EXPECT_EQ(ThrownId([&] { CopyColorChannels(&source, 0, 3, wrongSize, 0, 3); }),
              static_cast<UINT>(IDS_WIC_COPY_CHANNELS_FAILED));
    CImg mono1 = PatternedImg(MONO1, 3, 2, 0);
    EXPECT_EQ(ThrownId([&] { CopyColorChannels(&source, 0, 0, mono1, 0, 0); }),
              static_cast<UINT>(IDS_WIC_COPY_CHANNELS_FAILED));
}

TEST_F(ImgSource, PipelineStepsThatHaveNothingToDoCreateNothing)
{
    const CImg img = PatternedImg(BGRA32, 2, 2, 0);
    wic::CImgSource source;
    source.SetImage(&img);
    CWicSourcePtr out;
    EXPECT_EQ(ConvertToImgFormat(&source, GUID_WICPixelFormat32bppBGRA, BGRA32, out), &source);
    EXPECT_FALSE(out);
    EXPECT_EQ(ApplyTransformOptions(&source, WICBitmapTransformRotate0, out), &source);
    EXPECT_FALSE(out);
    EXPECT_EQ(source.AddRef(), 1u); // nothing kept a reference
    source.Release();

    IWICBitmapSource* scaled = CreateScaler(&source, 4, 6, WICBitmapInterpolationModeNearestNeighbor, out);
    UINT w = 0, h = 0;
    ASSERT_HRESULT_SUCCEEDED(scaled->GetSize(&w, &h));
    EXPECT_EQ(w, 4u);
    EXPECT_EQ(h, 6u);
    out.Release();

    EXPECT_EQ(CheckedUintToInt(0x7FFFFFFF), 0x7FFFFFFF);
    EXPECT_EQ(ThrownId([] { CheckedUintToInt(0x80000000u); }), static_cast<UINT>(IDS_CAST_ERROR));
}

TEST_F(ImgSource, FlipsAndRotationsTurnThePixels)
{
    CImg img = PatternedImg(BGRA32, 3, 2, 0);
    wic::CImgSource source;
    source.SetImage(&img);
    CWicSourcePtr out;
    IWICBitmapSource* flipped = ApplyTransformOptions(&source, WICBitmapTransformFlipVertical, out);
    CImg result(BGRA32, 3, 2);
    result.AllocBits();
    ASSERT_HRESULT_SUCCEEDED(flipped->CopyPixels(nullptr, 12, 24, result.m_bits.data()));
    EXPECT_TRUE(std::equal(result.m_bits.begin(), result.m_bits.begin() + 12, img.m_bits.begin() + 12));
    out.Release();

    CWicSourcePtr rotated;
    IWICBitmapSource* turned = ApplyTransformOptions(&source, WICBitmapTransformRotate90, rotated);
    UINT w = 0, h = 0;
    ASSERT_HRESULT_SUCCEEDED(turned->GetSize(&w, &h));
    std::vector<BYTE> pixels(2 * 4 * 3);
    const HRESULT hr = turned->CopyPixels(nullptr, 8, static_cast<UINT>(pixels.size()), pixels.data());
    if (hr == E_NOTIMPL) GTEST_SKIP() << "this WIC's flip/rotator implements only the vertical flip";
    ASSERT_HRESULT_SUCCEEDED(hr);
    EXPECT_EQ(w, 2u);
    EXPECT_EQ(h, 3u);
    // The top row of the turned picture is the left column read bottom-up.
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.begin() + 4, img.m_bits.begin() + 12));
}
