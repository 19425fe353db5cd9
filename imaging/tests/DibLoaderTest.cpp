#include "imaging/DibLoader.h"

#include "ids/imaging.h"
#include "imaging/GdiplusResources.h"
#include "imaging/tests/DibTestSupport.h"
#include "imaging/tests/ImagingTestSupport.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

namespace {

using DibLoader = ImagingTest;

// A 24-bit BMP file of 3 x 2 pixels: red, green, blue over white, black, grey.
std::string BmpFile(LONG resolution, bool topDown)
{
    const BYTE rows[2][12] = {{0, 0, 255, 0, 255, 0, 255, 0, 0}, {255, 255, 255, 0, 0, 0, 128, 128, 128}};
    BITMAPFILEHEADER file = {0x4D42, 14 + 40 + 24, 0, 0, 14 + 40};
    BITMAPINFOHEADER info = {40, 3, topDown ? -2 : 2, 1, 24, BI_RGB, 24, resolution, resolution};
    std::string bytes(reinterpret_cast<const char*>(&file), 14);
    bytes.append(reinterpret_cast<const char*>(&info), 40);
    for (int row = 0; row < 2; ++row) bytes.append(reinterpret_cast<const char*>(rows[topDown ? row : 1 - row]), 12);
    return bytes;
}

const DWORD kBmpPixels[2][3] = {{0xFFFF0000, 0xFF00FF00, 0xFF0000FF}, {0xFFFFFFFF, 0xFF000000, 0xFF808080}};

} // namespace

TEST_F(DibLoader, FilesGiveUprightDibsWithTheirResolution)
{
    CTempFolder folder;
    for (bool topDown : {false, true}) {
        SCOPED_TRACE(topDown ? "top-down file" : "bottom-up file");
        const std::wstring path = folder.WriteFile(L"picture.bmp", BmpFile(11811, topDown));
        CDibPtr dib;
        ASSERT_EQ(LoadDibFromFile(dib, path), S_OK);
        ASSERT_TRUE(dib);
        EXPECT_EQ(dib->GetBitCount(), 32);
        EXPECT_EQ(dib->m_header->biSize, 40u);
        ASSERT_EQ(dib->GetWidth(), 3);
        ASSERT_EQ(dib->GetHeight(), 2);
        EXPECT_EQ(dib->m_header->biXPelsPerMeter, 11811) << "300 dpi";
        EXPECT_EQ(dib->m_header->biYPelsPerMeter, 11811);
        for (LONG y = 0; y < 2; ++y)
            for (LONG x = 0; x < 3; ++x)
                EXPECT_TRUE(NearColor(Pixel32(*dib, x, y), kBmpPixels[y][x], 1)) << x << "," << y;
    }

    CDibPtr gif;
    ASSERT_EQ(LoadDibFromFile(gif, ImagingTestData(L"video-001.gif")), S_OK);
    EXPECT_EQ(gif->GetWidth(), 150);
    EXPECT_EQ(gif->GetHeight(), 103);
    // No global table, a local one on every frame: every frame has its colours.
    ASSERT_EQ(LoadDibFromFile(gif, ImagingTestData(L"local-colour-tables.gif")), S_OK);
    EXPECT_EQ(gif->GetWidth(), 16);
    EXPECT_EQ(Pixel32(*gif, 1, 0), 0xFF00FF00u) << "index 1 of the local table";
    CGdiplusImagePtr animated;
    ASSERT_EQ(LoadImageFromFile(animated, ImagingTestData(L"local-colour-tables.gif")), S_OK);
    const GUID time = Gdiplus::FrameDimensionTime;
    EXPECT_EQ(animated->GetFrameCount(&time), 3u);
    EXPECT_EQ(animated->SelectActiveFrame(&time, 2), Gdiplus::Ok);

    // A failure leaves the pointer as it was; the GDI+ image under the DIB fails alike.
    const struct {
        std::wstring path;
        HRESULT hr;
    } failures[] = {
        {folder / L"missing.bmp", HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)},
        {folder.WriteFile(L"text.bmp", "no picture here"), E_NOTIMPL},
        // Wine's GIF codec reads colours that are not there and crashes: refused before it sees
        // the file, also for a later frame, which the caller of the image may select.
        {ImagingTestData(L"no-colour-table.gif"), WINCODEC_ERR_PALETTEUNAVAILABLE},
        {ImagingTestData(L"no-colour-table-first.gif"), WINCODEC_ERR_PALETTEUNAVAILABLE},
        {ImagingTestData(L"no-colour-table-second.gif"), WINCODEC_ERR_PALETTEUNAVAILABLE},
    };
    CDibPtr kept(new CDib, DeleteDib);
    CDib* const before = kept.get();
    for (const auto& f : failures) {
        SCOPED_TRACE(std::string(f.path.begin(), f.path.end()));
        EXPECT_EQ(LoadDibFromFile(kept, f.path), f.hr);
        CGdiplusImagePtr image;
        EXPECT_EQ(LoadImageFromFile(image, f.path), f.hr);
    }
    EXPECT_EQ(LoadDibFromResource(kept, MAKEINTRESOURCEW(64999), L"IMAGE"), E_FAIL);
    EXPECT_EQ(kept.get(), before);
}

TEST_F(DibLoader, ResourcesAndImages)
{
    CDibPtr dib;
    ASSERT_EQ(LoadDibFromResource(dib, MAKEINTRESOURCEW(64100), L"IMAGE"), S_OK);
    ASSERT_EQ(dib->GetWidth(), 8);
    ASSERT_EQ(dib->GetHeight(), 6);
    EXPECT_EQ(Pixel32(*dib, 0, 0), 0xFFFF0000u);
    EXPECT_EQ(Pixel32(*dib, 7, 0), 0xFF0000FFu);
    EXPECT_EQ(Pixel32(*dib, 0, 5), 0xFFFF0000u);
    EXPECT_TRUE(NearColor(Pixel32(*dib, 7, 5), 0x8000FF00, 1)) << "the half-transparent corner, bottom right";

    Gdiplus::Bitmap image(4, 2, PixelFormat32bppARGB);
    image.SetResolution(72, 72);
    image.SetPixel(3, 1, Gdiplus::Color(0xFF102030));
    ASSERT_EQ(LoadDibFromImage(dib, image), S_OK);
    EXPECT_EQ(dib->GetWidth(), 4);
    EXPECT_EQ(dib->m_header->biXPelsPerMeter, 2835);
    EXPECT_EQ(Pixel32(*dib, 3, 1), 0xFF102030u);
    EXPECT_EQ(Pixel32(*dib, 0, 0), 0u) << "cleared where the image is transparent";
}

TEST_F(DibLoader, ImageResourcesLoadOnceOrThrow)
{
    const CGdiplusImagePtr image = LoadImageFromImageResource(64100);
    ASSERT_TRUE(image);
    EXPECT_EQ(image->GetWidth(), 8u);
    EXPECT_EQ(ThrownId([] { LoadImageFromImageResource(64999); }), UINT(IDS_IMAGE_RESOURCE_LOAD_FAILED));
    EXPECT_EQ(ThrownId([] { LoadImageFromImageResource(64102); }), UINT(IDS_IMAGE_RESOURCE_LOAD_FAILED))
        << "a picture of another resource type";

    CGdiplusImagePtr once;
    LoadImageFromImageResourceOnce(once, 64999);
    EXPECT_FALSE(once);
    LoadImageFromImageResourceOnce(once, 64101);
    ASSERT_TRUE(once);
    const Gdiplus::Image* first = once.get();
    LoadImageFromImageResourceOnce(once, 64100);
    EXPECT_EQ(once.get(), first) << "a loaded pointer is kept";
}

// The bitmap composed over white matches what the system draws of the icon there.
TEST_F(DibLoader, IconResourcesAsArgbBitmaps)
{
    const CGdiplusBitmapPtr bitmap = CreateBitmapFromIconResource(IDR_MAINFRAME, 32, 32);
    ASSERT_TRUE(bitmap);
    EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
    ASSERT_EQ(bitmap->GetWidth(), 32u);

    const HICON icon = static_cast<HICON>(
        ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, 32, 32, 0));
    ASSERT_NE(icon, nullptr);
    CDibCanvas canvas(32, 32, 0xFFFFFF);
    ASSERT_TRUE(::DrawIconEx(canvas.Dc(), 0, 0, icon, 32, 32, 0, nullptr, DI_NORMAL));
    ::DestroyIcon(icon);
    const std::vector<DWORD> drawn = canvas.Read();
    int opaque = 0, clear = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            Gdiplus::Color color;
            bitmap->GetPixel(x, y, &color);
            const int a = color.GetA();
            opaque += a == 255;
            clear += a == 0;
            const auto over = [a](int c) { return DWORD((c * a + 255 * (255 - a) + 127) / 255); };
            const DWORD expected = over(color.GetR()) << 16 | over(color.GetG()) << 8 | over(color.GetB());
            EXPECT_TRUE(NearColor(drawn[y * 32 + x], expected, 3)) << x << "," << y;
        }
    }
    EXPECT_GT(opaque, 0);
    EXPECT_GT(clear, 0);
    EXPECT_FALSE(CreateBitmapFromIconResource(64999, 32, 32));
    EXPECT_FALSE(CreateBitmapFromIconResource(IDR_MAINFRAME, 0, 32));
}
