#include "imaging/DibGdiplus.h"

#include "imaging/BitmapDataLock.h"
#include "imaging/GdiplusScaling.h"
#include "imaging/tests/DibTestSupport.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

namespace {

using DibGdiplus = ImagingTest;

const HRESULT kNoMemory = HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);

Gdiplus::ARGB PixelOf(Gdiplus::Bitmap& bitmap, int x, int y)
{
    Gdiplus::Color color;
    EXPECT_EQ(bitmap.GetPixel(x, y, &color), Gdiplus::Ok);
    return color.GetValue();
}

// The blocks of MakeBlocks32 in 8 bits, the four colours opaque at 1 to 4 of the table.
void MakeBlocks8(CDib& dib, Rows rows)
{
    ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 4, SignedHeight(4, rows), 8, 0, BI_RGB, 0));
    ASSERT_TRUE(dib.AllocBits());
    const RGBQUAD colors[4] = {{0, 0, 255, 255}, {0, 255, 0, 255}, {255, 0, 0, 255}, {255, 255, 255, 255}};
    std::memcpy(dib.GetColorTable() + 1, colors, sizeof(colors));
    for (LONG y = 0; y < 4; ++y)
        for (LONG x = 0; x < 4; ++x) *PixelAddress(dib, x, y) = BYTE(1 + (y / 2) * 2 + x / 2);
}

// The colour of pixel (x, y) of a DIB of 32, 24, 16 (5-5-5) or 8 bits, read from its bytes.
DWORD ColorAt(const CDib& dib, LONG x, LONG y)
{
    const BYTE* p = PixelAddress(dib, x, y);
    switch (dib.GetBitCount()) {
    case 8: {
        const RGBQUAD& q = dib.GetColorTable()[*p];
        return DWORD(q.rgbRed) << 16 | DWORD(q.rgbGreen) << 8 | q.rgbBlue;
    }
    case 16: {
        const DWORD v = p[0] | p[1] << 8;
        const auto expand = [](DWORD five) { return five << 3 | five >> 2; };
        return expand(v >> 10 & 31) << 16 | expand(v >> 5 & 31) << 8 | expand(v & 31);
    }
    default: return DWORD(p[2]) << 16 | DWORD(p[1]) << 8 | p[0];
    }
}

} // namespace

// A write through the bitmap is seen in the DIB and the other way round, in either row order.
TEST_F(DibGdiplus, BitmapsOverDibsShareTheirMemory)
{
    for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
        SCOPED_TRACE(RowsName(rows));
        CDib dib;
        MakeTestDib32(dib, 5, 4, rows);
        const CGdiplusBitmapPtr bitmap = CreateBitmapOnDib(dib);
        ASSERT_TRUE(bitmap);
        EXPECT_EQ(bitmap->GetPixelFormat(), PixelFormat32bppARGB);
        for (LONG y = 0; y < 4; ++y)
            for (LONG x = 0; x < 5; ++x) EXPECT_EQ(PixelOf(*bitmap, x, y), TestPixel(x, y)) << x << "," << y;
        ASSERT_EQ(bitmap->SetPixel(1, 3, Gdiplus::Color(0x11223344)), Gdiplus::Ok);
        EXPECT_EQ(Pixel32(dib, 1, 3), 0x11223344u);
        SetPixel32(dib, 4, 0, 0x55667788);
        EXPECT_EQ(PixelOf(*bitmap, 4, 0), 0x55667788u);

        CDib grey;
        ASSERT_TRUE(grey.Create(sizeof(BITMAPINFOHEADER), 3, SignedHeight(2, rows), 8, 0, BI_RGB, 0));
        ASSERT_TRUE(grey.AllocBits());
        grey.Fill(0);
        *PixelAddress(grey, 2, 0) = 200;
        const CGdiplusBitmapPtr indexed = CreateBitmapOnDib(grey);
        ASSERT_TRUE(indexed);
        EXPECT_EQ(indexed->GetPixelFormat(), PixelFormat8bppIndexed);
        EXPECT_EQ(PixelOf(*indexed, 2, 0), 0xFFC8C8C8u);
        EXPECT_EQ(PixelOf(*indexed, 2, 1), 0xFF000000u);
        *PixelAddress(grey, 0, 1) = 255;
        EXPECT_EQ(PixelOf(*indexed, 0, 1), 0xFFFFFFFFu);

        // Other bit counts are copied, upright.
        CDib deep;
        ASSERT_TRUE(deep.Create(sizeof(BITMAPINFOHEADER), 3, SignedHeight(2, rows), 24, 0, BI_RGB, 0));
        ASSERT_TRUE(deep.AllocBits());
        deep.Fill(0);
        std::memcpy(PixelAddress(deep, 0, 0), "\x30\x20\x10", 3);
        const CGdiplusBitmapPtr copy = CreateBitmapOnDib(deep);
        ASSERT_TRUE(copy);
        EXPECT_EQ(PixelOf(*copy, 0, 0) & 0xFFFFFF, 0x102030u);
        EXPECT_EQ(PixelOf(*copy, 0, 1) & 0xFFFFFF, 0u);
    }
    EXPECT_FALSE(CreateBitmapOnDib(CDib()));
}

// The GDI+ palette takes no entry from beyond the DIB's table: here a profile follows the table.
TEST_F(DibGdiplus, PalettesStopAtTheColourTable)
{
    const std::vector<BYTE> profile = ReadTestProfile();
    ASSERT_GT(profile.size(), 1024u);
    CDib dib;
    ASSERT_TRUE(dib.CreateV5WithProfile(2, 2, 8, 4, BI_RGB, profile));
    ASSERT_TRUE(dib.AllocBits());
    dib.Fill(2);
    for (BYTE i = 0; i < 4; ++i) dib.GetColorTable()[i] = RGBQUAD{BYTE(i * 10), 0, 0, 255};
    for (const CGdiplusBitmapPtr& bitmap : {CreateBitmapOnDib(dib), CreateBitmapCopyOfDib(dib, true)}) {
        ASSERT_TRUE(bitmap);
        std::vector<BYTE> buffer(bitmap->GetPaletteSize());
        auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(buffer.data());
        ASSERT_EQ(bitmap->GetPalette(palette, static_cast<INT>(buffer.size())), Gdiplus::Ok);
        ASSERT_EQ(palette->Count, 256u);
        EXPECT_EQ(palette->Entries[3], 0xFF00001Eu);
        for (UINT i = 4; i < 256; ++i) ASSERT_EQ(palette->Entries[i], 0u) << i;
        EXPECT_EQ(PixelOf(*bitmap, 1, 1), 0xFF000014u);
    }
}

// A colour table as GDI writes it, reserved bytes 0, is opaque: scaled and converted it must not
// vanish. A table that carries alpha keeps it on the bitmap over the DIB.
TEST_F(DibGdiplus, TablesWithoutAlphaAreOpaque)
{
    CDib dib;
    ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 2, 2, 8, 0, BI_RGB, 0));
    ASSERT_TRUE(dib.AllocBits());
    for (UINT i = 0; i < 256; ++i) dib.GetColorTable()[i].rgbReserved = 0;
    dib.Fill(200);
    for (WORD bits : {WORD(32), WORD(24), WORD(16), WORD(8)}) {
        SCOPED_TRACE(bits);
        CDib converted;
        ASSERT_EQ(ConvertDibBitCount(dib, converted, bits), S_OK);
        // Five bits a channel at 16; into a table, GDI's nearest entry (near enough under Wine).
        EXPECT_TRUE(NearColor(ColorAt(converted, 1, 1), 0xC8C8C8, bits == 16 ? 8 : bits == 8 ? 4 : 0));
    }
    const CGdiplusBitmapPtr over = CreateBitmapOnDib(dib);
    ASSERT_TRUE(over);
    EXPECT_EQ(PixelOf(*over, 0, 0), 0xFFC8C8C8u);
    const CGdiplusBitmapPtr copy = CreateBitmapCopyOfDib(dib, true);
    ASSERT_TRUE(copy);
    EXPECT_EQ(PixelOf(*copy, 0, 0), 0xFFC8C8C8u);

    dib.GetColorTable()[200].rgbReserved = 0x80;
    const CGdiplusBitmapPtr withAlpha = CreateBitmapOnDib(dib);
    ASSERT_TRUE(withAlpha);
    EXPECT_EQ(PixelOf(*withAlpha, 0, 0), 0x80C8C8C8u);
    const CGdiplusBitmapPtr opaque = CreateBitmapCopyOfDib(dib, false);
    ASSERT_TRUE(opaque);
    EXPECT_EQ(PixelOf(*opaque, 0, 0), 0xFFC8C8C8u) << "a copy without alpha";
}

TEST_F(DibGdiplus, CopiesOfEveryBitCount)
{
    for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
        SCOPED_TRACE(RowsName(rows));
        CDib dib32;
        MakeTestDib32(dib32, 5, 4, rows);
        const CGdiplusBitmapPtr withAlpha = CreateBitmapCopyOfDib(dib32, true);
        const CGdiplusBitmapPtr opaque = CreateBitmapCopyOfDib(dib32, false);
        ASSERT_TRUE(withAlpha && opaque);
        EXPECT_EQ(opaque->GetPixelFormat(), PixelFormat32bppRGB);
        for (LONG y = 0; y < 4; ++y) {
            for (LONG x = 0; x < 5; ++x) {
                EXPECT_EQ(PixelOf(*withAlpha, x, y), TestPixel(x, y));
                EXPECT_EQ(PixelOf(*opaque, x, y), TestPixel(x, y) | 0xFF000000);
            }
        }
        SetPixel32(dib32, 0, 0, 0);
        EXPECT_EQ(PixelOf(*withAlpha, 0, 0), TestPixel(0, 0)) << "a copy of its own";

        for (WORD bits : {WORD(8), WORD(16), WORD(24)}) {
            SCOPED_TRACE(bits);
            CDib blocks, dib;
            MakeBlocks32(blocks, rows);
            if (bits == 8) {
                MakeBlocks8(dib, rows);
            } else {
                ASSERT_EQ(ConvertDibBitCount(blocks, dib, bits), S_OK);
            }
            const CGdiplusBitmapPtr copy = CreateBitmapCopyOfDib(dib, false);
            ASSERT_TRUE(copy);
            for (LONG y = 0; y < 4; ++y)
                for (LONG x = 0; x < 4; ++x) EXPECT_EQ(PixelOf(*copy, x, y), 0xFF000000 | ColorAt(dib, x, y));
        }
    }
    for (WORD bits : {WORD(1), WORD(4)}) {
        CDib dib;
        ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 4, 4, bits, 0, BI_RGB, 0) && dib.AllocBits());
        EXPECT_FALSE(CreateBitmapCopyOfDib(dib, true)) << bits;
    }
}

// Bit-field DIBs are copied in the layout their masks name, or not at all.
TEST_F(DibGdiplus, CopiesOfBitFieldDibsFollowTheirMasks)
{
    const struct {
        const char* what;
        WORD bits;
        DWORD masks[3];
        DWORD pixel; // green at full strength in the masks' layout
        bool copied;
    } cases[] = {
        {"5-6-5", 16, {0xF800, 0x07E0, 0x001F}, 0x07E0, true},
        {"5-5-5", 16, {0x7C00, 0x03E0, 0x001F}, 0x03E0, true},
        {"8-8-8", 32, {0xFF0000, 0x00FF00, 0x0000FF}, 0x00FF00, true},
        {"4-4-4", 16, {0x0F00, 0x00F0, 0x000F}, 0x00F0, false},
        {"red and blue exchanged", 32, {0x0000FF, 0x00FF00, 0xFF0000}, 0x00FF00, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        CDib dib;
        ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 2, 2, c.bits, 0, BI_BITFIELDS, 0));
        std::memcpy(dib.GetColorTable(), c.masks, sizeof(c.masks));
        ASSERT_TRUE(dib.AllocBits());
        dib.Fill(0);
        std::memcpy(PixelAddress(dib, 1, 0), &c.pixel, c.bits / 8);
        const CGdiplusBitmapPtr copy = CreateBitmapCopyOfDib(dib, false);
        if (!c.copied) {
            EXPECT_FALSE(copy);
            continue;
        }
        ASSERT_TRUE(copy);
        EXPECT_EQ(PixelOf(*copy, 1, 0), 0xFF00FF00u);
        EXPECT_EQ(PixelOf(*copy, 0, 0), 0xFF000000u);
    }
}

// The target's own pixels change, whatever its bit count: the 24- and 16-bit copies GDI+ makes
// of a DIB must not be what it draws into.
TEST_F(DibGdiplus, ScalingAndConversionChangeTheTarget)
{
    for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
        for (WORD bits : {WORD(32), WORD(24), WORD(16), WORD(8)}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, " + RowsName(rows));
            CDib source;
            if (bits == 8) {
                MakeBlocks8(source, rows);
            } else {
                MakeBlocks32(source, rows);
            }
            // Into a palette GDI takes the nearest entry; Wine finds it through a coarse colour
            // cache, which may take a near-white grey of the table for white.
            const int tolerance = bits == 8 ? 4 : 0;
            CDib half;
            const auto nearest = Gdiplus::InterpolationModeNearestNeighbor;
            ASSERT_EQ(ScaleDib(source, source.GetRect(), half, SIZE{2, 2}, bits, nearest), S_OK);
            ASSERT_EQ(half.GetBitCount(), bits);
            ASSERT_EQ(half.GetSize().cx, 2);
            for (LONG i = 0; i < 4; ++i)
                EXPECT_TRUE(NearColor(ColorAt(half, i % 2, i / 2), kBlockColors[i], tolerance));

            CDib same;
            ASSERT_EQ(ConvertDibBitCount(source, same, bits), S_OK);
            ASSERT_EQ(same.GetSize().cx, 4);
            ASSERT_EQ(same.GetSize().cy, 4);
            for (LONG y = 0; y < 4; ++y)
                for (LONG x = 0; x < 4; ++x)
                    EXPECT_TRUE(NearColor(ColorAt(same, x, y), kBlockColors[(y / 2) * 2 + x / 2], tolerance));

            // A fractional destination: the DIB is as large as the rectangle rounded up.
            CDib part;
            const Gdiplus::RectF from(2, 2, 2, 2), to(0, 0, 10.2f, 2.5f);
            ASSERT_EQ(ScaleDibF(source, from, part, to, bits, nearest), S_OK);
            EXPECT_EQ(part.GetWidth(), 11);
            EXPECT_EQ(part.GetHeight(), 3);
            EXPECT_TRUE(NearColor(ColorAt(part, 5, 1), 0xFFFFFF, tolerance));
        }
    }
}

// Into a target without alpha, a half-transparent pixel is composed over the cleared target, as
// GDI+ itself draws it into a 24-bit bitmap; into a 32-bit one it keeps its colour and alpha.
TEST_F(DibGdiplus, TransparencyIsComposedOverTheClearedTarget)
{
    CDib source;
    ASSERT_TRUE(source.Create32AndAlloc(2, 1));
    SetPixel32(source, 0, 0, 0x00FF0000);
    SetPixel32(source, 1, 0, 0x80FF0000);
    const CGdiplusBitmapPtr picture = CreateBitmapOnDib(source);
    ASSERT_TRUE(picture);
    Gdiplus::Bitmap reference(2, 1, PixelFormat24bppRGB);
    ASSERT_TRUE(DrawImageScaled(picture.get(), RECT{0, 0, 2, 1}, &reference, RECT{0, 0, 2, 1},
                                Gdiplus::InterpolationModeNearestNeighbor));
    const DWORD composed = PixelOf(reference, 1, 0) & 0xFFFFFF;
    EXPECT_TRUE(NearColor(composed, 0x800000, 1));
    for (WORD bits : {WORD(24), WORD(16)}) {
        SCOPED_TRACE(bits);
        CDib converted;
        ASSERT_EQ(ConvertDibBitCount(source, converted, bits), S_OK);
        EXPECT_EQ(ColorAt(converted, 0, 0), 0u);
        EXPECT_TRUE(NearColor(ColorAt(converted, 1, 0), composed, bits == 16 ? 8 : 1));
    }
    CDib wide;
    ASSERT_EQ(ConvertDibBitCount(source, wide, 32), S_OK);
    EXPECT_EQ(Pixel32(wide, 1, 0), 0x80FF0000u);
}

TEST_F(DibGdiplus, ScalingRefusesWhatItCannotDo)
{
    CDib source;
    MakeBlocks32(source, Rows::BottomUp);
    CDib dst;
    struct Case {
        const char* what;
        HRESULT result;
        std::function<HRESULT()> call;
    };
    const RECT all = source.GetRect();
    const auto nearest = Gdiplus::InterpolationModeNearestNeighbor;
    const Case cases[] = {
        {"source without header", E_INVALIDARG,
         [&] {
             return ScaleDib(CDib(), all, dst, SIZE{2, 2}, nearest);
         }},
        {"target is the source", E_INVALIDARG,
         [&] {
             return ScaleDib(source, all, source, SIZE{2, 2}, nearest);
         }},
        {"empty target", E_INVALIDARG,
         [&] {
             return ScaleDib(source, all, dst, SIZE{0, 2}, nearest);
         }},
        {"too large a target", kNoMemory,
         [&] {
             return ScaleDib(source, all, dst, SIZE{40000, 40000}, nearest);
         }},
        {"NaN width", E_INVALIDARG,
         [&] {
             return ScaleDibF(source, Gdiplus::RectF(0, 0, 4, 4), dst, Gdiplus::RectF(0, 0, std::nanf(""), 2), 32,
                              nearest);
         }},
        {"no image", kNoMemory,
         [&] {
             return DrawImageIntoDib(nullptr, all, dst, SIZE{2, 2});
         }},
    };
    for (const Case& c : cases) EXPECT_EQ(c.call(), c.result) << c.what;
    EXPECT_EQ(source.GetWidth(), 4) << "the source is left as it was";
    EXPECT_EQ(Pixel32(source, 3, 3), 0xFFFFFFFFu);
}

TEST_F(DibGdiplus, ScaledBitmapsAndLockedBits)
{
    CDib blocks;
    MakeBlocks32(blocks, Rows::TopDown);
    const CGdiplusImagePtr image = CreateBitmapCopyOfDib(blocks, true);
    const CGdiplusBitmapPtr half = CreateScaledBitmap(image, 2, 2, Gdiplus::InterpolationModeNearestNeighbor);
    ASSERT_TRUE(half);
    EXPECT_EQ(half->GetPixelFormat(), PixelFormat32bppARGB);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(PixelOf(*half, i % 2, i / 2), 0xFF000000 | kBlockColors[i]);
    EXPECT_FALSE(CreateScaledBitmap(CGdiplusImagePtr(), 2, 2, Gdiplus::InterpolationModeNearestNeighbor));

    CBitmapDataLock lock;
    EXPECT_EQ(lock.Unlock(), Gdiplus::Ok) << "nothing locked";
    ASSERT_EQ(lock.Lock(half.get(), RECT{0, 0, 2, 2}, PixelFormat32bppARGB), Gdiplus::Ok);
    static_cast<DWORD*>(lock.m_data.Scan0)[0] = 0xFF123456;
    ASSERT_EQ(lock.Lock(half.get(), RECT{1, 1, 2, 2}, PixelFormat32bppARGB), Gdiplus::Ok) << "the first lock is let go";
    ASSERT_EQ(lock.Unlock(), Gdiplus::Ok);
    EXPECT_EQ(PixelOf(*half, 0, 0), 0xFF123456u);
    EXPECT_NE(lock.Lock(half.get(), RECT{0, 0, 3, 3}, PixelFormat32bppARGB), Gdiplus::Ok);
    EXPECT_EQ(lock.m_bitmap, nullptr);
    EXPECT_NE(half->GetLastStatus(), Gdiplus::Ok) << "the failure is kept in the bitmap";
}
