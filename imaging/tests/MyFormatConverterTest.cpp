#include "imaging/MyFormatConverter.h"

#include "imaging/ImgSource.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <ComPtr.h>

#include <gtest/gtest.h>

using ATL::CComPtr;

namespace {

using MyFormatConverter = ImagingTest;

CComPtr<IWICFormatConverter> Converter(IWICBitmapSource* source, const GUID& format)
{
    CComPtr<IWICFormatConverter> converter;
    EXPECT_HRESULT_SUCCEEDED(CreateFormatConverter(&converter));
    EXPECT_HRESULT_SUCCEEDED(
        converter->Initialize(source, format, WICBitmapDitherTypeNone, nullptr, 0.0, WICBitmapPaletteTypeCustom));
    return converter;
}

} // namespace

TEST_F(MyFormatConverter, AnswersItsInterfacesWithOnePointer)
{
    EXPECT_EQ(CreateFormatConverter(nullptr), E_POINTER);
    CComPtr<IWICFormatConverter> converter;
    ASSERT_HRESULT_SUCCEEDED(CreateFormatConverter(&converter));
    CComPtr<IUnknown> unknown;
    CComPtr<IWICBitmapSource> source;
    CComPtr<IWICFormatConverter> again;
    EXPECT_HRESULT_SUCCEEDED(converter->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)));
    EXPECT_HRESULT_SUCCEEDED(converter->QueryInterface(IID_IWICBitmapSource, reinterpret_cast<void**>(&source)));
    EXPECT_HRESULT_SUCCEEDED(converter->QueryInterface(IID_IWICFormatConverter, reinterpret_cast<void**>(&again)));
    EXPECT_EQ(static_cast<void*>(unknown.p), static_cast<void*>(converter.p));
    EXPECT_EQ(static_cast<void*>(source.p), static_cast<void*>(converter.p));
    EXPECT_EQ(again.p, converter.p);
    CComPtr<IWICBitmapScaler> scaler;
    EXPECT_EQ(converter->QueryInterface(IID_IWICBitmapScaler, reinterpret_cast<void**>(&scaler)), E_NOINTERFACE);
    EXPECT_EQ(converter->CopyPalette(nullptr), E_NOTIMPL);
}

TEST_F(MyFormatConverter, CopiesCmykChannelsBothWays)
{
    const CImg cmyk = PatternedImg(CMYK32, 3, 2, 1, 7);
    wic::CImgSource cmykSource;
    cmykSource.SetImage(&cmyk);
    {
        CComPtr<IWICFormatConverter> converter = Converter(&cmykSource, GUID_WICPixelFormat40bppCMYKAlpha);
        WICPixelFormatGUID format = {};
        ASSERT_HRESULT_SUCCEEDED(converter->GetPixelFormat(&format));
        EXPECT_EQ(format, GUID_WICPixelFormat40bppCMYKAlpha);
        UINT w = 0, h = 0;
        ASSERT_HRESULT_SUCCEEDED(converter->GetSize(&w, &h));
        EXPECT_EQ(w, 3u);
        EXPECT_EQ(h, 2u);
        std::vector<BYTE> out(2 * 16, 0xEE);
        ASSERT_HRESULT_SUCCEEDED(converter->CopyPixels(nullptr, 16, static_cast<UINT>(out.size()), out.data()));
        for (UINT y = 0; y < 2; ++y) {
            for (UINT x = 0; x < 3; ++x) {
                for (UINT c = 0; c < 4; ++c) {
                    EXPECT_EQ(out[y * 16 + x * 5 + c], cmyk.m_bits[y * 12 + x * 4 + c]) << x << "," << y << "," << c;
                }
                EXPECT_EQ(out[y * 16 + x * 5 + 4], 255);
            }
            EXPECT_EQ(out[y * 16 + 15], 0xEE); // past the row: untouched
        }
    }
    const CImg cmyka = PatternedImg(CMYKA40, 2, 2, 50, 7);
    wic::CImgSource cmykaSource;
    cmykaSource.SetImage(&cmyka);
    CComPtr<IWICFormatConverter> converter = Converter(&cmykaSource, GUID_WICPixelFormat32bppCMYK);
    std::vector<BYTE> out(2 * 8);
    ASSERT_HRESULT_SUCCEEDED(converter->CopyPixels(nullptr, 8, static_cast<UINT>(out.size()), out.data()));
    for (UINT y = 0; y < 2; ++y) {
        for (UINT x = 0; x < 2; ++x) {
            for (UINT c = 0; c < 4; ++c) EXPECT_EQ(out[y * 8 + x * 4 + c], cmyka.m_bits[y * 12 + x * 5 + c]);
        }
    }
    // An empty rectangle copies nothing and succeeds.
    const WICRect empty = {0, 1, 2, 0};
    std::vector<BYTE> untouched(8, 0x11);
    EXPECT_EQ(converter->CopyPixels(&empty, 8, 8, untouched.data()), S_OK);
    EXPECT_EQ(untouched, std::vector<BYTE>(8, 0x11));
}

TEST_F(MyFormatConverter, OwnCopyRefusesWhatDoesNotFit)
{
    const CImg cmyk = PatternedImg(CMYK32, 4, 3, 3, 7);
    wic::CImgSource source;
    source.SetImage(&cmyk);
    CComPtr<IWICFormatConverter> converter = Converter(&source, GUID_WICPixelFormat40bppCMYKAlpha);
    const WICRect inside = {1, 1, 2, 2};
    const struct {
        const char* what;
        WICRect rect;
        UINT stride;
        UINT size;
    } cases[] = {
        {"short stride", inside, 9, 100},
        {"buffer one byte short", inside, 12, 12 + 10 - 1},
        {"negative width", {0, 0, -1, 1}, 20, 100},
        {"negative height", {0, 0, 1, -2}, 20, 100},
        {"negative x", {-1, 0, 1, 1}, 20, 100},
        {"right of the image", {3, 0, 2, 1}, 20, 100},
        {"below the image", {0, 2, 1, 2}, 20, 100},
        {"huge rectangle", {0, 0, 0x7FFFFFFF, 0x7FFFFFFF}, 0xFFFFFFFF, 0xFFFFFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<BYTE> out(100, 0x5A);
        EXPECT_EQ(converter->CopyPixels(&c.rect, c.stride, c.size, out.data()), E_INVALIDARG);
        EXPECT_EQ(out, std::vector<BYTE>(100, 0x5A));
    }
    std::vector<BYTE> exact(12 + 10);
    EXPECT_EQ(converter->CopyPixels(&inside, 12, static_cast<UINT>(exact.size()), exact.data()), S_OK);
    EXPECT_EQ(exact[0], cmyk.m_bits[16 + 4]);
    EXPECT_EQ(exact[12 + 5], cmyk.m_bits[32 + 8]);
}

TEST_F(MyFormatConverter, OtherPairsGoThroughWic)
{
    const CImg bgra = PatternedImg(BGRA32, 5, 3, 9, 7);
    wic::CImgSource source;
    source.SetImage(&bgra);
    CComPtr<IWICFormatConverter> converter = Converter(&source, GUID_WICPixelFormat24bppBGR);
    EXPECT_FALSE(static_cast<wic::CMyFormatConverter*>(converter.p)->CopiesItself());
    std::vector<BYTE> out(3 * 16);
    ASSERT_HRESULT_SUCCEEDED(converter->CopyPixels(nullptr, 16, static_cast<UINT>(out.size()), out.data()));
    for (UINT y = 0; y < 3; ++y) {
        for (UINT x = 0; x < 5; ++x) {
            for (UINT c = 0; c < 3; ++c) EXPECT_EQ(out[y * 16 + x * 3 + c], bgra.m_bits[y * 20 + x * 4 + c]);
        }
    }
    BOOL can = FALSE;
    EXPECT_HRESULT_SUCCEEDED(converter->CanConvert(GUID_WICPixelFormat32bppBGRA, GUID_WICPixelFormat24bppBGR, &can));
    EXPECT_TRUE(can);
}

TEST_F(MyFormatConverter, GreyAndPalettedSourcesReachEveryRgbAndGreyFormat)
{
    const CImg mono = PatternedImg(MONO8, 6, 2, 0, 7);
    wic::CImgSource source;
    source.SetImage(&mono);
    CComPtr<IWICFormatConverter> converter = Converter(&source, GUID_WICPixelFormat24bppBGR);
    std::vector<BYTE> out(2 * 20);
    ASSERT_HRESULT_SUCCEEDED(converter->CopyPixels(nullptr, 20, static_cast<UINT>(out.size()), out.data()));
    for (UINT x = 0; x < 6; ++x) {
        const BYTE level = mono.m_bits[x];
        EXPECT_EQ(out[x * 3], level);
        EXPECT_EQ(out[x * 3 + 1], level);
        EXPECT_EQ(out[x * 3 + 2], level);
    }
}
