#include "imaging/ImgLoader.h"

#include "foundation/Exception.h"
#include "ids/imaging.h"
#include "imaging/ImageResourceCache.h"
#include "imaging/WicPixelFormat.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

class ImgLoader : public ImagingTest {
protected:
    void TearDown() override
    {
        HWND window = ::GetDesktopWindow();
        if (::OpenClipboard(window)) {
            ::EmptyClipboard();
            ::CloseClipboard();
        }
    }
};

template <class F> UINT ThrownId(F f)
{
    try {
        f();
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

// B, G, R, A of one pixel of a BGRA32 image.
std::vector<BYTE> PixelOf(const CImg& img, UINT x, UINT y)
{
    const BYTE* p = img.m_bits.data() + y * img.GetStride() + x * 4;
    return {p[0], p[1], p[2], p[3]};
}

// A packed bottom-up 32-bit DIB of a BGRA32 image.
std::vector<BYTE> PackedDib(const CImg& img)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = static_cast<LONG>(img.m_w);
    header.biHeight = static_cast<LONG>(img.m_h);
    header.biPlanes = 1;
    header.biBitCount = 32;
    std::vector<BYTE> dib(sizeof(header));
    std::memcpy(dib.data(), &header, sizeof(header));
    for (UINT y = img.m_h; y-- > 0;) {
        const BYTE* row = img.m_bits.data() + y * img.GetStride();
        dib.insert(dib.end(), row, row + img.m_w * 4);
    }
    return dib;
}

} // namespace

TEST_F(ImgLoader, DecodesTheTestPictureFromItsResource)
{
    wic::CImgLoader loader;
    CImgPtr img = loader.LoadFromResource(64100);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->m_format, BGRA32);
    EXPECT_EQ(img->m_w, 8u);
    EXPECT_EQ(img->m_h, 6u);
    EXPECT_TRUE(img->HasAllBits());
    EXPECT_EQ(PixelOf(*img, 0, 0), (std::vector<BYTE>{0, 0, 255, 255}));
    EXPECT_EQ(PixelOf(*img, 4, 0), (std::vector<BYTE>{255, 0, 0, 255}));
    EXPECT_EQ(PixelOf(*img, 7, 5), (std::vector<BYTE>{0, 255, 0, 128}));

    // An opaque RGB picture prefers BGR24 when every format is allowed.
    CImgPtr grey = loader.LoadFromResource(64101);
    EXPECT_EQ(grey->m_format, BGR24);
    EXPECT_EQ(grey->m_bits[0], 0x80);
    EXPECT_EQ(ThrownId([&] { loader.LoadFromResource(64199); }), static_cast<UINT>(IDS_RESOURCE_DATA_MISSING));
    EXPECT_EQ(ThrownId([&] { loader.LoadFromFile(img, L""); }), static_cast<UINT>(IDS_PATH_EMPTY));

    loader.m_formats.reset();
    EXPECT_EQ(ThrownId([&] { loader.LoadFromResource(64100); }), static_cast<UINT>(IDS_WIC_UNKNOWN_FORMAT));
}

TEST_F(ImgLoader, FormatChoiceFollowsThePreferenceLists)
{
    wic::CImgLoader loader;
    EXPECT_EQ(loader.ChooseGrayFormat(1, false), MONO1);
    EXPECT_EQ(loader.ChooseGrayFormat(4, false), MONO8);
    EXPECT_EQ(loader.ChooseRgbFormat(true), BGRA32);
    EXPECT_EQ(loader.ChooseCmykFormat(true), CMYKA40);
    loader.m_formats = std::bitset<kImgFormatCount>((1u << MONO1) | (1u << CMYK32));
    EXPECT_EQ(loader.ChooseGrayFormat(4, false), CMYK32);
    loader.m_formats = std::bitset<kImgFormatCount>(1u << MONO1);
    EXPECT_EQ(loader.ChooseGrayFormat(4, false), MONO1);
    loader.m_formats = std::bitset<kImgFormatCount>(1u << BGR24);
    EXPECT_EQ(loader.ChooseRgbFormat(true), BGR24);
}

TEST_F(ImgLoader, TheResourceCacheDecodesOnce)
{
    CImageResourceCache cache;
    EXPECT_EQ(cache.m_loader.m_formats.to_ulong(), 1u);
    cache.Load(64101);
    ASSERT_EQ(cache.m_images.count(64101), 1u);
    const CImgPtr first = cache.m_images[64101];
    EXPECT_EQ(first->m_format, BGRA32);
    cache.Load(64101);
    EXPECT_EQ(cache.m_images[64101], first);
    EXPECT_EQ(ThrownId([&] { cache.Load(64199); }), static_cast<UINT>(IDS_RESOURCE_DATA_MISSING));
    EXPECT_EQ(cache.m_images.size(), 1u);
}

TEST_F(ImgLoader, PackedDibsRoundTripThroughTheClipboard)
{
    wic::CImgLoader loader;
    CImgPtr picture = loader.LoadFromResource(64101);
    loader.m_formats = std::bitset<kImgFormatCount>(1u << BGRA32);
    picture = loader.LoadFromResource(64100);
    // Fully opaque so that the 32-bit DIB's unused fourth byte does not matter.
    for (size_t i = 3; i < picture->m_bits.size(); i += 4) picture->m_bits[i] = 255;
    const std::vector<BYTE> dib = PackedDib(*picture);

    CImgPtr back;
    loader.LoadFromPackedDib(back, dib.data(), dib.size());
    ASSERT_TRUE(back);
    ASSERT_EQ(back->m_w, picture->m_w);
    ASSERT_EQ(back->m_h, picture->m_h);
    for (UINT y = 0; y < back->m_h; ++y) {
        for (UINT x = 0; x < back->m_w; ++x) {
            std::vector<BYTE> got = PixelOf(*back, x, y), want = PixelOf(*picture, x, y);
            got.resize(3);
            want.resize(3);
            EXPECT_EQ(got, want) << x << "," << y;
        }
    }

    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, dib.size());
    std::memcpy(::GlobalLock(block), dib.data(), dib.size());
    ::GlobalUnlock(block);
    ASSERT_TRUE(::OpenClipboard(::GetDesktopWindow()));
    ::EmptyClipboard();
    ASSERT_TRUE(::SetClipboardData(CF_DIB, block));
    CImgPtr pasted;
    EXPECT_NO_THROW(loader.LoadFromClipboard(pasted));
    ::EmptyClipboard();
    EXPECT_EQ(ThrownId([&] { loader.LoadFromClipboard(pasted); }), static_cast<UINT>(IDS_CLIPBOARD_DATA_FAILED));
    ::CloseClipboard();
    ASSERT_TRUE(pasted);
    EXPECT_EQ(pasted->m_w, picture->m_w);
}

TEST_F(ImgLoader, MalformedBitmapHeadersAreRefused)
{
    wic::CImgLoader loader;
    auto header = [](DWORD biSize, WORD bits, DWORD used, DWORD compression) {
        BITMAPINFOHEADER h = {};
        h.biSize = biSize;
        h.biWidth = 2;
        h.biHeight = 2;
        h.biPlanes = 1;
        h.biBitCount = bits;
        h.biClrUsed = used;
        h.biCompression = compression;
        std::vector<BYTE> bytes(sizeof(h) + 16);
        std::memcpy(bytes.data(), &h, sizeof(h));
        return bytes;
    };
    struct Case {
        const char* what;
        std::vector<BYTE> dib;
    };
    const std::vector<Case> cases = {
        {"shorter than a header", std::vector<BYTE>(39, 0)},
        {"header larger than the block", header(0x7FFFFFFF, 32, 0, BI_RGB)},
        {"header smaller than its own structure", header(12, 32, 0, BI_RGB)},
        {"colour table beyond the block", header(40, 8, 0, BI_RGB)},
        {"huge colour count", header(40, 32, 0xFFFFFFFF, BI_RGB)},
        {"masks beyond the block", [&] {
             auto d = header(40, 32, 0, BI_BITFIELDS);
             d.resize(40 + 8);
             return d;
         }()},
    };
    for (const Case& c : cases) {
        CImgPtr out;
        EXPECT_EQ(ThrownId([&] { loader.LoadFromPackedDib(out, c.dib.data(), c.dib.size()); }),
                  static_cast<UINT>(IDS_CLIPBOARD_DATA_SIZE_INVALID))
            << c.what;
        EXPECT_FALSE(out) << c.what;
    }
}

TEST_F(ImgLoader, RandomDibsEitherLoadOrThrow)
{
    wic::CImgLoader loader;
    std::mt19937 random(77);
    for (int round = 0; round < 200; ++round) {
        std::vector<BYTE> dib(40 + random() % 80);
        for (BYTE& b : dib) b = static_cast<BYTE>(random());
        BITMAPINFOHEADER h = {};
        std::memcpy(&h, dib.data(), sizeof(h));
        h.biSize = round % 3 ? 40 : h.biSize;
        h.biWidth = static_cast<LONG>(random() % 5);
        h.biHeight = static_cast<LONG>(random() % 5);
        std::memcpy(dib.data(), &h, sizeof(h));
        CImgPtr out;
        try {
            loader.LoadFromPackedDib(out, dib.data(), dib.size());
            ASSERT_TRUE(out);
            EXPECT_TRUE(out->HasAllBits());
        } catch (const my::CException&) {
            EXPECT_FALSE(out);
        }
    }
}

TEST(WicPixelFormat, ClassificationAndMapping)
{
    struct Case {
        const GUID* guid;
        ImgColorType type;
        int bits;
        bool alpha;
    };
    const Case cases[] = {
        {&GUID_WICPixelFormat64bppRGBAHalf, ImgColorType::Rgb, 64, false},
        {&GUID_WICPixelFormat32bppPBGRA, ImgColorType::Rgb, 32, true},
        {&GUID_WICPixelFormat40bpp5Channels, ImgColorType::None, 40, false},
        {&GUID_WICPixelFormatBlackWhite, ImgColorType::Gray, 1, false},
        {&GUID_WICPixelFormat4bppIndexed, ImgColorType::Indexed, 4, false},
        {&GUID_WICPixelFormat80bppCMYKAlpha, ImgColorType::Cmyk, 80, true},
        {&GUID_NULL, ImgColorType::None, 0, false},
    };
    for (const Case& c : cases) {
        WicPixelFormatInfo info;
        info.guid = *c.guid;
        ClassifyPixelFormat(info);
        EXPECT_EQ(info.colorType, c.type);
        EXPECT_EQ(info.bitsPerPixel, c.bits);
        EXPECT_EQ(info.hasAlpha, c.alpha);
    }
    for (UINT f = 0; f < kImgFormatCount; ++f) {
        EXPECT_EQ(WicFormatToImgFormat(ImgFormatToWicFormat(static_cast<ImgFormat>(f))), static_cast<int>(f));
    }
    EXPECT_EQ(WicFormatToImgFormat(GUID_WICPixelFormat8bppIndexed), -1);
    EXPECT_EQ(ThrownId([] { ImgFormatToWicFormat(static_cast<ImgFormat>(6)); }),
              static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    EXPECT_EQ(OrientationToTransform(6), WICBitmapTransformRotate90);
    EXPECT_EQ(OrientationToTransform(0), WICBitmapTransformRotate0);
}
