#include "imaging/GdiplusImage.h"

#include "foundation/Exception.h"
#include "foundation/Streams.h"
#include "ids/imaging.h"
#include "imaging/tests/ImagingTestSupport.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>


namespace {

class GdiplusImage : public ImagingTest {
protected:
    // Draws the image's bitmap at (0, 0), unscaled.
    static void Draw(const CImg& img, CMemoryCanvas& canvas)
    {
        CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(img);
        ASSERT_TRUE(bitmap);
        Gdiplus::Graphics graphics(canvas.Dc());
        graphics.DrawImage(bitmap.get(), 0, 0, static_cast<INT>(img.m_w), static_cast<INT>(img.m_h));
    }
};

UINT ThrownId(const CImg& img)
{
    try {
        CreateBitmapFromImage(img);
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

std::string ResourceBytes(UINT id, const wchar_t* type)
{
    HRSRC found = ::FindResourceW(nullptr, MAKEINTRESOURCEW(id), type);
    const char* data = static_cast<const char*>(::LockResource(::LoadResource(nullptr, found)));
    return std::string(data, ::SizeofResource(nullptr, found));
}

} // namespace

TEST_F(GdiplusImage, EmptyAndUnsupportedImages)
{
    EXPECT_FALSE(CreateBitmapFromImage(CImg(CMYK32, 0, 5)));
    EXPECT_FALSE(CreateBitmapFromImage(CImg(BGRA32, 5, 0)));
    CImg cmyk(CMYK32, 5, 5);
    cmyk.AllocBits();
    EXPECT_EQ(ThrownId(cmyk), static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    CImg cmyka(CMYKA40, 1, 1);
    cmyka.AllocBits();
    EXPECT_EQ(ThrownId(cmyka), static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    // Fewer pixel bytes than the geometry needs: GDI+ would read past them.
    CImg shortBits(BGRA32, 4, 4);
    shortBits.m_bits.resize(4 * 4 * 4 - 1);
    EXPECT_EQ(ThrownId(shortBits), static_cast<UINT>(IDS_BAD_IMAGE_SIZE));
}

TEST_F(GdiplusImage, ABitmapDrawsTheImagesOwnBytes)
{
    CImg img(BGR24, 3, 2);
    img.AllocBits();
    ASSERT_EQ(img.GetStride(), 12u);
    auto set = [&img](UINT x, UINT y, COLORREF c) {
        BYTE* p = img.m_bits.data() + y * img.GetStride() + x * 3;
        p[0] = GetBValue(c);
        p[1] = GetGValue(c);
        p[2] = GetRValue(c);
    };
    set(0, 0, RGB(255, 0, 0));
    set(2, 0, RGB(0, 255, 0));
    set(1, 1, RGB(0, 0, 255));
    CGdiplusBitmapPtr bitmap = CreateBitmapFromImage(img);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat24bppRGB);
    CMemoryCanvas canvas(3, 2);
    {
        Gdiplus::Graphics graphics(canvas.Dc());
        graphics.DrawImage(bitmap.get(), 0, 0, 3, 2);
    }
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 255, 0));
    EXPECT_EQ(canvas.Pixel(1, 1), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(0, 1), RGB(0, 0, 0));
    // The bitmap reads the image in place.
    set(0, 1, RGB(10, 20, 30));
    {
        Gdiplus::Graphics graphics(canvas.Dc());
        graphics.DrawImage(bitmap.get(), 0, 0, 3, 2);
    }
    EXPECT_EQ(canvas.Pixel(0, 1), RGB(10, 20, 30));
}

TEST_F(GdiplusImage, GreyAndBinaryImagesUseTheirPalettes)
{
    CImg grey(MONO8, 3, 1);
    grey.AllocBits();
    grey.m_bits[0] = 0;
    grey.m_bits[1] = 128;
    grey.m_bits[2] = 255;
    CMemoryCanvas canvas(8, 1, RGB(1, 2, 3));
    Draw(grey, canvas);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(128, 128, 128));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(255, 255, 255));

    CImg binary(MONO1, 8, 1);
    binary.AllocBits();
    binary.m_bits[0] = 0xA0; // 1 0 1 0 0 0 0 0, most significant bit first
    canvas.Fill(RGB(1, 2, 3));
    Draw(binary, canvas);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 0, 0));
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(255, 255, 255));
    EXPECT_EQ(canvas.Pixel(7, 0), RGB(0, 0, 0));
}

TEST_F(GdiplusImage, AlphaImagesBlendOverTheBackground)
{
    CImg img(BGRA32, 2, 1);
    img.AllocBits();
    const BYTE pixels[] = {0, 0, 255, 255, 255, 0, 0, 0}; // opaque red, transparent blue
    std::copy(std::begin(pixels), std::end(pixels), img.m_bits.begin());
    CMemoryCanvas canvas(2, 1, RGB(0, 255, 0));
    Draw(img, canvas);
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(0, 255, 0));
}

TEST_F(GdiplusImage, TextureBrushesTileTheImage)
{
    CImg img(BGRA32, 2, 1);
    img.AllocBits();
    const BYTE pixels[] = {0, 0, 255, 255, 255, 0, 0, 255}; // red, blue
    std::copy(std::begin(pixels), std::end(pixels), img.m_bits.begin());
    CTextureBrushPtr brush = CreateTextureBrush(img, Gdiplus::WrapModeTile);
    ASSERT_TRUE(brush);
    CMemoryCanvas canvas(6, 1);
    {
        Gdiplus::Graphics graphics(canvas.Dc());
        graphics.FillRectangle(brush.get(), 0, 0, 6, 1);
    }
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(3, 0), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(4, 0), RGB(255, 0, 0));

    CTextureBrushPtr faint = CreateTextureBrush(img, Gdiplus::WrapModeTile, 0.5f);
    ASSERT_TRUE(faint);
    EXPECT_EQ(faint->GetWrapMode(), Gdiplus::WrapModeTile);
    canvas.Fill(RGB(255, 255, 255));
    {
        Gdiplus::Graphics graphics(canvas.Dc());
        graphics.FillRectangle(faint.get(), 0, 0, 6, 1);
    }
    const COLORREF half = canvas.Pixel(0, 0);
    EXPECT_EQ(GetRValue(half), 255);
    EXPECT_NEAR(GetGValue(half), 128, 3);
    EXPECT_FALSE(CreateTextureBrush(CImg(BGRA32), Gdiplus::WrapModeTile));
    EXPECT_EQ(MakeOpaqueArgb(1, 2, 3), 0xFF010203u);
}

TEST_F(GdiplusImage, LoadsPicturesFromResourcesFilesAndStreams)
{
    CGdiplusImagePtr image;
    ASSERT_EQ(LoadImageFromResource(image, MAKEINTRESOURCEW(64100), L"IMAGE"), S_OK);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 8u);
    EXPECT_EQ(image->GetHeight(), 6u);

    CGdiplusImagePtr kept = image;
    EXPECT_EQ(LoadImageFromResource(image, MAKEINTRESOURCEW(64199), L"IMAGE"), E_FAIL);
    EXPECT_EQ(image, kept);

    CTempFolder temp;
    const std::wstring path = temp.WriteFile(L"picture.png", ResourceBytes(64100, L"IMAGE"));
    CGdiplusImagePtr fromFile;
    ASSERT_EQ(LoadImageFromFile(fromFile, path), S_OK);
    EXPECT_EQ(fromFile->GetWidth(), 8u);
    EXPECT_TRUE(FAILED(LoadImageFromFile(fromFile, temp.Path(L"missing.png"))));
    fromFile.reset();

    // The manifest is no picture.
    CGdiplusImagePtr notPicture;
    EXPECT_EQ(LoadImageFromResource(notPicture, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)), E_NOTIMPL);
    EXPECT_TRUE(notPicture);
}
