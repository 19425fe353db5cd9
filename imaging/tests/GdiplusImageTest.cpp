#include "imaging/GdiplusImage.h"

#include "ids/foundation.h"
#include "ids/imaging.h"
#include "imaging/ImageResourceCache.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

using GdiplusImage = ImagingTest;

TEST_F(GdiplusImage, EmptyCmykAndShortImagesMakeNoBitmap)
{
    EXPECT_FALSE(CreateBitmapFromImage(CImg(BGRA32, 5, 0)));
    CImg cmyk(CMYK32, 5, 1);
    cmyk.AllocBits();
    EXPECT_EQ(ThrownId([&] { CreateBitmapFromImage(cmyk); }), static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    // Fewer pixel bytes than the geometry needs: GDI+ would read past them.
    CImg shortBits(BGRA32, 4, 4);
    shortBits.m_bits.resize(4 * 4 * 4 - 1);
    EXPECT_EQ(ThrownId([&] { CreateBitmapFromImage(shortBits); }), static_cast<UINT>(IDS_BAD_IMAGE_SIZE));
    shortBits.m_bits.resize(4 * 4 * 4);
    EXPECT_TRUE(CreateBitmapFromImage(shortBits)) << "whole, it makes one";
}

namespace {

Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x)
{
    Gdiplus::Color color;
    EXPECT_EQ(bitmap.GetPixel(x, 0, &color), Gdiplus::Ok);
    return color.GetValue();
}

} // namespace

TEST_F(GdiplusImage, IndexedImagesDrawBlackAtZero)
{
    CImg grey(MONO8, 3, 1);
    grey.AllocBits();
    grey.m_bits = {0, 77, 255, 0};
    CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(grey);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(PixelOf(*bitmap, 0), 0xFF000000u);
    EXPECT_EQ(PixelOf(*bitmap, 1), 0xFF4D4D4Du);
    EXPECT_EQ(PixelOf(*bitmap, 2), 0xFFFFFFFFu);

    CImg bits(MONO1, 3, 1);
    bits.AllocBits();
    bits.m_bits[0] = 0x40; // most significant first: black, white, black
    bitmap = CreateBitmapFromImage(bits);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(PixelOf(*bitmap, 0), 0xFF000000u);
    EXPECT_EQ(PixelOf(*bitmap, 1), 0xFFFFFFFFu);
    EXPECT_EQ(PixelOf(*bitmap, 2), 0xFF000000u);
}

// Both brushes keep a copy of the picture, repeat it by their wrap mode, and the second scales
// its alpha by the opacity.
TEST_F(GdiplusImage, TextureBrushesRepeatTheirOwnCopy)
{
    EXPECT_FALSE(CreateTextureBrush(CImg(BGRA32, 0, 3), Gdiplus::WrapModeTile));
    EXPECT_FALSE(CreateTextureBrush(CImg(BGRA32, 3, 0), Gdiplus::WrapModeTile, 0.5f));
    CImg img(BGRA32, 2, 1);
    img.AllocBits();
    const Gdiplus::ARGB red = 0xFFFF0000, blue = 0xFF0000FF;
    std::memcpy(img.m_bits.data(), &red, 4);
    std::memcpy(img.m_bits.data() + 4, &blue, 4);
    const CTextureBrushPtr tiled = CreateTextureBrush(img, Gdiplus::WrapModeTile);
    const CTextureBrushPtr faded = CreateTextureBrush(img, Gdiplus::WrapModeTileFlipX, 0.5f);
    ASSERT_TRUE(tiled && faded);
    std::fill(img.m_bits.begin(), img.m_bits.end(), BYTE(0));

    Gdiplus::Bitmap target(4, 2, PixelFormat32bppARGB);
    {
        Gdiplus::Graphics graphics(&target);
        graphics.Clear(Gdiplus::Color(0, 0, 0, 0));
        EXPECT_EQ(graphics.FillRectangle(tiled.get(), 0, 0, 4, 1), Gdiplus::Ok);
        EXPECT_EQ(graphics.FillRectangle(faded.get(), 0, 1, 4, 1), Gdiplus::Ok);
    }
    Gdiplus::Color color;
    const Gdiplus::ARGB tiles[] = {red, blue, red, blue}, flips[] = {red, blue, blue, red};
    for (int x = 0; x < 4; ++x) {
        ASSERT_EQ(target.GetPixel(x, 0, &color), Gdiplus::Ok);
        EXPECT_EQ(color.GetValue(), tiles[x]) << x;
        ASSERT_EQ(target.GetPixel(x, 1, &color), Gdiplus::Ok);
        EXPECT_EQ(color.GetValue() & 0xFFFFFF, flips[x] & 0xFFFFFF) << x;
        EXPECT_NEAR(color.GetA(), 128, 1) << x;
    }
}

TEST_F(GdiplusImage, TheResourceCacheDecodesEachIdOnceAsBgra)
{
    CImageResourceCache cache;
    cache.Load(64101); // opaque: the loader's own choice would be BGR24
    ASSERT_EQ(cache.m_images.count(64101), 1u);
    const CImgPtr first = cache.m_images[64101];
    EXPECT_EQ(first->m_format, BGRA32);
    // A second decode would now throw: the held image must be kept instead.
    cache.m_loader.m_formats.reset();
    cache.Load(64101);
    EXPECT_EQ(cache.m_images[64101], first);
    EXPECT_EQ(ThrownId([&] { cache.Load(64199); }), static_cast<UINT>(IDS_RESOURCE_DATA_MISSING));
    EXPECT_EQ(cache.m_images.size(), 1u);
}
