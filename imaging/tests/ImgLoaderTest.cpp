#include "imaging/ImgLoader.h"

#include "ids/imaging.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

using ImgLoader = ImagingTest;

// One pixel of a BGRA32 image as 0xAARRGGBB.
DWORD PixelOf(const CImg& img, UINT x, UINT y)
{
    DWORD pixel = 0;
    std::memcpy(&pixel, img.m_bits.data() + y * img.GetStride() + x * 4, 4);
    return pixel;
}

// A packed DIB of a 2 x 2 picture (or `side` x `side`): the header and `extra` bytes after it.
std::vector<BYTE> PackedDib(DWORD biSize, WORD bits, DWORD used, DWORD compression, size_t extra = 16, LONG side = 2)
{
    BITMAPINFOHEADER h = {};
    h.biSize = biSize;
    h.biWidth = side;
    h.biHeight = side;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biClrUsed = used;
    h.biCompression = compression;
    std::vector<BYTE> bytes(sizeof(h) + extra);
    std::memcpy(bytes.data(), &h, sizeof(h));
    return bytes;
}

} // namespace

TEST_F(ImgLoader, DecodesPicturesFromResources)
{
    wic::CImgLoader loader;
    CImgPtr img = loader.LoadFromResource(64100);
    ASSERT_TRUE(img);
    EXPECT_EQ(img->m_format, BGRA32);
    EXPECT_EQ(img->m_w, 8u);
    EXPECT_EQ(img->m_h, 6u);
    EXPECT_EQ(PixelOf(*img, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(PixelOf(*img, 7, 5), 0x8000FF00u);
    // An opaque picture prefers BGR24 when every format is allowed.
    EXPECT_EQ(loader.LoadFromResource(64101)->m_format, BGR24);

    EXPECT_EQ(ThrownId([&] { loader.LoadFromResource(64199); }), static_cast<UINT>(IDS_RESOURCE_DATA_MISSING));
    loader.m_formats.reset();
    EXPECT_EQ(ThrownId([&] { loader.LoadFromResource(64100); }), static_cast<UINT>(IDS_WIC_UNKNOWN_FORMAT));
}

TEST_F(ImgLoader, PackedDibsAreCheckedAgainstTheirBlock)
{
    std::vector<BYTE> dib = PackedDib(sizeof(BITMAPINFOHEADER), 32, 0, BI_RGB, 2 * 2 * 4);
    const DWORD pixels[] = {0x000000FF, 0x0000FF00, 0x00FF0000, 0x00070809}; // bottom row first
    std::memcpy(dib.data() + sizeof(BITMAPINFOHEADER), pixels, sizeof(pixels));
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, dib.size());
    std::memcpy(::GlobalLock(block), dib.data(), dib.size());
    ::GlobalUnlock(block);

    // Through the clipboard, which offers the block as CF_DIBV5 as well.
    wic::CImgLoader loader;
    loader.m_formats = std::bitset<kImgFormatCount>(1u << BGRA32);
    CImgPtr pasted;
    ASSERT_TRUE(::OpenClipboard(::GetDesktopWindow()));
    ::EmptyClipboard();
    EXPECT_TRUE(::SetClipboardData(CF_DIB, block));
    EXPECT_NO_THROW(loader.LoadFromClipboard(pasted));
    ::EmptyClipboard();
    EXPECT_EQ(ThrownId([&] { loader.LoadFromClipboard(pasted); }), static_cast<UINT>(IDS_CLIPBOARD_DATA_FAILED));
    ::CloseClipboard();
    ASSERT_TRUE(pasted);
    ASSERT_EQ(pasted->m_w, 2u);
    ASSERT_EQ(pasted->m_h, 2u);
    EXPECT_EQ(PixelOf(*pasted, 0, 0) & 0xFFFFFF, 0xFF0000u); // the 32-bit DIB's fourth byte is unused
    EXPECT_EQ(PixelOf(*pasted, 1, 1) & 0xFFFFFF, 0x00FF00u);

    const std::pair<const char*, std::vector<BYTE>> malformed[] = {
        {"shorter than a header", std::vector<BYTE>(39, 0)},
        {"header larger than the block", PackedDib(0x7FFFFFFF, 32, 0, BI_RGB)},
        {"header smaller than its own structure", PackedDib(12, 32, 0, BI_RGB)},
        {"colour table beyond the block", PackedDib(40, 8, 0, BI_RGB)},
        {"huge colour count", PackedDib(40, 32, 0xFFFFFFFF, BI_RGB)},
        {"masks beyond the block", PackedDib(40, 32, 0, BI_BITFIELDS, 8)},
    };
    for (const auto& [what, bytes] : malformed) {
        SCOPED_TRACE(what);
        CImgPtr out;
        EXPECT_EQ(ThrownId([&] { loader.LoadFromPackedDib(out, bytes.data(), bytes.size()); }),
                  static_cast<UINT>(IDS_CLIPBOARD_DATA_SIZE_INVALID));
        EXPECT_FALSE(out);
    }

    // Random blocks either load whole or throw.
    std::mt19937 random(77);
    for (int round = 0; round < 200; ++round) {
        std::vector<BYTE> noise(40 + random() % 80);
        for (BYTE& b : noise) b = static_cast<BYTE>(random());
        auto* header = reinterpret_cast<BITMAPINFOHEADER*>(noise.data());
        if (round % 3) header->biSize = sizeof(BITMAPINFOHEADER);
        header->biWidth = static_cast<LONG>(random() % 5);
        header->biHeight = static_cast<LONG>(random() % 5);
        CImgPtr out;
        try {
            loader.LoadFromPackedDib(out, noise.data(), noise.size());
            ASSERT_TRUE(out);
            EXPECT_TRUE(out->HasAllBits());
        } catch (const my::CException&) {
            EXPECT_FALSE(out);
        }
    }
}

// A 4 KB picture claiming 30000 x 30000 is refused before its 3.6 GB are allocated.
TEST_F(ImgLoader, AHeaderAloneCannotClaimMorePixelsThanTheCeiling)
{
    const std::vector<BYTE> claim = PackedDib(sizeof(BITMAPINFOHEADER), 32, 0, BI_RGB, 4096, 30000);
    wic::CImgLoader loader;
    CImgPtr out;
    EXPECT_EQ(ThrownId([&] { loader.LoadFromPackedDib(out, claim.data(), claim.size()); }),
              static_cast<UINT>(IDS_IMAGE_TOO_LARGE));
    EXPECT_FALSE(out);
}
