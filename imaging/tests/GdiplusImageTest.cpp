#include "imaging/GdiplusImage.h"

#include "ids/imaging.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

namespace {

using GdiplusImage = ImagingTest;

// One row of pixels.
CImg MakeRow(ImgFormat format, UINT w, std::initializer_list<BYTE> bytes)
{
    CImg img(format, w, 1);
    img.AllocBits();
    std::copy(bytes.begin(), bytes.end(), img.m_bits.begin());
    return img;
}

} // namespace

TEST_F(GdiplusImage, EmptyCmykAndShortImagesMakeNoBitmap)
{
    EXPECT_FALSE(CreateBitmapFromImage(CImg(BGRA32, 5, 0)));
    EXPECT_EQ(ThrownId([] { CreateBitmapFromImage(MakeRow(CMYK32, 5, {})); }),
              static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    // Fewer pixel bytes than the geometry needs: GDI+ would read past them.
    CImg shortBits(BGRA32, 4, 4);
    shortBits.m_bits.resize(4 * 4 * 4 - 1);
    EXPECT_EQ(ThrownId([&] { CreateBitmapFromImage(shortBits); }), static_cast<UINT>(IDS_BAD_IMAGE_SIZE));
}

TEST_F(GdiplusImage, EachFormatDrawsItsOwnBytes)
{
    struct Case {
        CImg img;
        std::vector<COLORREF> drawn;
    };
    const COLORREF green = RGB(0, 255, 0), white = RGB(255, 255, 255);
    const Case cases[] = {
        {MakeRow(BGR24, 2, {0, 0, 255, 30, 20, 10}), {RGB(255, 0, 0), RGB(10, 20, 30)}},
        {MakeRow(BGRA32, 2, {0, 0, 255, 255, 255, 0, 0, 0}), {RGB(255, 0, 0), green}}, // blends over green
        {MakeRow(MONO8, 3, {0, 128, 255}), {RGB(0, 0, 0), RGB(128, 128, 128), white}},
        {MakeRow(MONO1, 3, {0xA0}), {white, RGB(0, 0, 0), white}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.img.m_format);
        CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(c.img);
        ASSERT_TRUE(bitmap);
        CMemoryCanvas canvas(4, 1, green);
        Gdiplus::Graphics(canvas.Dc()).DrawImage(bitmap.get(), 0, 0, static_cast<INT>(c.img.m_w), 1);
        for (size_t x = 0; x < c.drawn.size(); ++x) EXPECT_EQ(canvas.Pixel(static_cast<int>(x), 0), c.drawn[x]) << x;
    }
}

TEST_F(GdiplusImage, LoadsPicturesFromResources)
{
    CGdiplusImagePtr image;
    ASSERT_EQ(LoadImageFromResource(image, MAKEINTRESOURCEW(64100), L"IMAGE"), S_OK);
    EXPECT_EQ(image->GetWidth(), 8u);
    CGdiplusImagePtr kept = image;
    EXPECT_EQ(LoadImageFromResource(image, MAKEINTRESOURCEW(64199), L"IMAGE"), E_FAIL);
    EXPECT_EQ(image, kept);
    // The manifest is no picture.
    EXPECT_EQ(LoadImageFromResource(image, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)), E_NOTIMPL);
}
