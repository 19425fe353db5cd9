#include "imaging/WicPalette.h"

#include "imaging/ImagingFactory.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <ComPtr.h>

#include <gtest/gtest.h>

using ATL::CComPtr;

namespace {

using WicPalette = ImagingTest;

std::vector<WICColor> Colors(IWICPalette* palette)
{
    std::vector<WICColor> colors;
    UINT actual = 0;
    PaletteGetColors(palette, colors, actual);
    EXPECT_EQ(actual, colors.size());
    return colors;
}

} // namespace

TEST_F(WicPalette, PredefinedAndTransparentPalettes)
{
    CComPtr<IWICPalette> gray;
    CreatePredefinedPalette(gray.p, WICBitmapPaletteTypeFixedGray256, false);
    EXPECT_EQ(Colors(gray).size(), 256u);
    EXPECT_TRUE(PaletteIsGray(gray));
    EXPECT_FALSE(PaletteHasAlpha(gray));

    CComPtr<IWICPalette> bw;
    CreatePredefinedPalette(bw.p, WICBitmapPaletteTypeFixedBW, false);
    EXPECT_EQ(Colors(bw), (std::vector<WICColor>{0xFF000000, 0xFFFFFFFF}));

    CComPtr<IWICPalette> transparent;
    CreateTransparentPalette(transparent.p);
    EXPECT_EQ(Colors(transparent), std::vector<WICColor>{0x00000000});
    EXPECT_TRUE(PaletteHasAlpha(transparent));

    WICColor color = 0xDEADBEEF;
    EXPECT_TRUE(PaletteGetColor(transparent, 0, color));
    EXPECT_EQ(color, 0u);
    for (int index : {-1, 1}) {
        color = 0xDEADBEEF;
        EXPECT_FALSE(PaletteGetColor(transparent, index, color)) << index;
        EXPECT_EQ(color, 0u);
    }
    // A palette whose out pointer already holds one releases it.
    CreatePredefinedPalette(transparent.p, WICBitmapPaletteTypeFixedHalftone8, false);
    EXPECT_FALSE(PaletteIsGray(transparent));
}

TEST_F(WicPalette, FramePaletteWithItsOnlyTransparentEntryAtThree)
{
    CComPtr<IWICBitmapFrameDecode> frame = DecodeTestFile(L"index3-transparent.png");
    ASSERT_TRUE(frame);
    CComPtr<IWICPalette> palette;
    CopyFramePalette(palette.p, frame);
    const std::vector<WICColor> colors = Colors(palette);
    ASSERT_GE(colors.size(), 6u);
    EXPECT_EQ(colors[3], 0x00090909u);
    EXPECT_TRUE(PaletteHasAlpha(palette));
    EXPECT_FALSE(PaletteIsGray(palette));

    MoveTransparentEntryFirst(palette);
    const std::vector<WICColor> moved = Colors(palette);
    ASSERT_EQ(moved.size(), colors.size());
    EXPECT_EQ(moved[0], 0x00000000u);
    EXPECT_EQ(moved[1], colors[0]);
    EXPECT_EQ(moved[2], colors[1]);
    EXPECT_EQ(moved[3], colors[2]);
    for (size_t i = 4; i < colors.size(); ++i) EXPECT_EQ(moved[i], colors[i]) << i;

    // Already first, or no transparent entry: left as it is.
    MoveTransparentEntryFirst(palette);
    EXPECT_EQ(Colors(palette), moved);
    CComPtr<IWICPalette> opaque;
    CreatePredefinedPalette(opaque.p, WICBitmapPaletteTypeFixedHalftone27, false);
    const std::vector<WICColor> before = Colors(opaque);
    MoveTransparentEntryFirst(opaque);
    EXPECT_EQ(Colors(opaque), before);
}

TEST_F(WicPalette, PaletteFromBitmapPutsTheTransparentEntryFirst)
{
    CComPtr<IWICBitmapFrameDecode> frame = DecodeTestFile(L"basn2c08.png");
    ASSERT_TRUE(frame);
    CComPtr<IWICPalette> palette;
    CreatePaletteFromBitmap(palette.p, frame, 16, true);
    const std::vector<WICColor> colors = Colors(palette);
    ASSERT_FALSE(colors.empty());
    EXPECT_EQ(colors[0], 0x00000000u);
    for (size_t i = 1; i < colors.size(); ++i) EXPECT_NE(ColorAlpha(colors[i]), 0) << i;

    CComPtr<IWICPalette> plain;
    CreatePaletteFromBitmap(plain.p, frame, 16, false);
    EXPECT_FALSE(PaletteHasAlpha(plain));
}

TEST_F(WicPalette, GrayPaletteOfAGrayFile)
{
    CComPtr<IWICBitmapFrameDecode> frame = DecodeTestFile(L"video-005.gray.gif");
    ASSERT_TRUE(frame);
    CComPtr<IWICPalette> palette;
    CopyFramePalette(palette.p, frame);
    EXPECT_TRUE(PaletteIsGray(palette));
    CComPtr<IWICPalette> empty;
    ASSERT_HRESULT_SUCCEEDED(g_wicFactory->CreatePalette(&empty));
    EXPECT_TRUE(PaletteIsGray(empty));
    EXPECT_TRUE(Colors(empty).empty());
}
