#include "imaging/Dib.h"

#include "foundation/GlobalMemory.h"
#include "imaging/GdiScope.h"
#include "imaging/tests/DibTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

constexpr DWORD kBackground = 0x123456;

// A 2 x 2 DIB of the bit count whose top-left pixel is white and the rest black.
void MakeCornerDib(CDib& dib, WORD bits, Rows rows)
{
    ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 2, SignedHeight(2, rows), bits, 0, BI_RGB, 0));
    ASSERT_TRUE(dib.AllocBits());
    dib.SetGrayPalette();
    dib.Fill(0);
    BYTE* corner = PixelAddress(dib, 0, 0);
    switch (bits) {
    case 1: corner[0] = 0x80; break;
    case 4: corner[0] = 0xF0; break;
    case 8: corner[0] = 0xFF; break;
    case 16: std::memcpy(corner, "\xFF\x7F", 2); break;
    default: std::memset(corner, 0xFF, bits / 8); break;
    }
}

} // namespace

// Every bit count, both row orders: the picture lands upright where it is drawn.
TEST(DibDraw, EveryBitCountDrawsUpright)
{
    for (WORD bits : {WORD(1), WORD(4), WORD(8), WORD(16), WORD(24), WORD(32)}) {
        for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
            SCOPED_TRACE(std::to_string(bits) + " bits, " + RowsName(rows));
            CDib dib;
            MakeCornerDib(dib, bits, rows);
            CDibCanvas canvas(4, 4, kBackground);
            ASSERT_TRUE(dib.Draw(canvas.Dc(), 1, 1));
            const std::vector<DWORD> pixels = canvas.Read();
            EXPECT_EQ(pixels[1 * 4 + 1], 0xFFFFFFu & 0xFFFFFF);
            EXPECT_EQ(pixels[1 * 4 + 2], 0u);
            EXPECT_EQ(pixels[2 * 4 + 1], 0u);
            EXPECT_EQ(pixels[2 * 4 + 2], 0u);
            EXPECT_EQ(pixels[0], kBackground);
            EXPECT_EQ(pixels[3 * 4 + 3], kBackground) << "the destination is as tall as the image";
        }
    }
}

TEST(DibDraw, StretchedAndPartDrawingsReadBack)
{
    for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
        SCOPED_TRACE(RowsName(rows));
        CDib dib;
        MakeBlocks32(dib, rows);
        CDibCanvas canvas(8, 8, kBackground);
        ::SetStretchBltMode(canvas.Dc(), COLORONCOLOR);
        ASSERT_TRUE(dib.Draw(canvas.Dc(), RECT{0, 0, 8, 8}));
        EXPECT_EQ(::GetStretchBltMode(canvas.Dc()), COLORONCOLOR) << "the caller's mode comes back";
        // Block centres stay their colour whatever the filter does at the edges.
        for (int i = 0; i < 4; ++i) EXPECT_EQ(canvas.At(1 + 5 * (i % 2), 1 + 5 * (i / 2)), kBlockColors[i]) << i;

        // One block at its own size: the source rectangle counts from the top of the picture.
        CDibCanvas part(2, 2, kBackground);
        ASSERT_TRUE(dib.Draw(part.Dc(), RECT{0, 0, 2, 2}, RECT{0, 2, 2, 4}));
        EXPECT_EQ(part.Read(), std::vector<DWORD>(4, 0x0000FF));
        ASSERT_TRUE(dib.Draw(part.Dc(), RECT{0, 0, 2, 2}, RECT{2, 0, 4, 2}));
        EXPECT_EQ(part.Read(), std::vector<DWORD>(4, 0x00FF00));

        // Empty rectangles draw nothing and are no failure.
        CDibCanvas untouched(2, 2, kBackground);
        EXPECT_TRUE(dib.Draw(untouched.Dc(), RECT{0, 0, 0, 2}));
        EXPECT_TRUE(dib.Draw(untouched.Dc(), RECT{0, 0, 2, 2}, RECT{1, 1, 1, 3}));
        EXPECT_EQ(untouched.Read(), std::vector<DWORD>(4, kBackground));
    }
    CDibCanvas canvas(2, 2, kBackground);
    EXPECT_FALSE(CDib().Draw(canvas.Dc(), 0, 0));
    CDib headerOnly;
    ASSERT_TRUE(headerOnly.Create32(2, 2));
    EXPECT_FALSE(headerOnly.Draw(canvas.Dc(), RECT{0, 0, 2, 2}));
    CDib refused;
    ASSERT_TRUE(refused.Create(sizeof(BITMAPINFOHEADER), 2, 2, 7, 0, BI_RGB, 0) && refused.AllocBits());
    EXPECT_FALSE(refused.Draw(canvas.Dc(), 0, 0)) << "a bit count GDI does not know";
}

TEST(DibDraw, PatternBrushesRepeatThePicture)
{
    struct Case {
        const char* what;
        DWORD compression;
        Rows rows;
    };
    const Case cases[] = {
        {"plain bottom-up", BI_RGB, Rows::BottomUp},
        {"plain top-down", BI_RGB, Rows::TopDown},
        {"bit fields", BI_BITFIELDS, Rows::BottomUp},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDib dib;
        ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 2, SignedHeight(2, c.rows), 32, 0, c.compression, 0));
        ASSERT_TRUE(dib.AllocBits());
        if (c.compression == BI_BITFIELDS) std::memcpy(dib.GetColorTable(), "\0\0\xFF\0\0\xFF\0\0\xFF\0\0\0", 12);
        const DWORD colors[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
        for (LONG i = 0; i < 4; ++i) SetPixel32(dib, i % 2, i / 2, colors[i]);

        const CUniqueBrush brush(dib.CreatePatternBrush());
        ASSERT_TRUE(brush);
        CDibCanvas canvas(4, 4, kBackground);
        const RECT all{0, 0, 4, 4};
        ASSERT_TRUE(::FillRect(canvas.Dc(), &all, brush.Get()));
        const std::vector<DWORD> pixels = canvas.Read();
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) EXPECT_EQ(pixels[y * 4 + x], colors[(y % 2) * 2 + x % 2]) << x << "," << y;
    }
}

// A packed DIB in global memory may come from another process: it must hold what it claims.
TEST(DibDraw, PatternBrushesFromGlobalMemory)
{
    CDib dib;
    MakeBlocks32(dib, Rows::BottomUp);
    const UINT packedSize = dib.GetInfoSize() + dib.GetImageSize();
    CGlobalMemory memory;
    ASSERT_TRUE(memory.Alloc(packedSize, GMEM_MOVEABLE));
    {
        CGlobalLocker lock(memory);
        ASSERT_TRUE(dib.WriteInfo(lock.Get(), dib.GetInfoSize()));
        std::memcpy(static_cast<BYTE*>(lock.Get()) + dib.GetInfoSize(), dib.m_bits, dib.GetImageSize());
    }
    const CUniqueBrush brush(CreatePatternBrushFromGlobal(memory));
    ASSERT_TRUE(brush);
    CDibCanvas canvas(4, 4, kBackground);
    const RECT all{0, 0, 4, 4};
    ::FillRect(canvas.Dc(), &all, brush.Get());
    EXPECT_EQ(canvas.At(0, 0), 0xFF0000u);
    EXPECT_EQ(canvas.At(3, 3), 0xFFFFFFu);
    EXPECT_EQ(::GlobalFlags(memory) & GMEM_LOCKCOUNT, 0u) << "unlocked again";

    struct Case {
        const char* what;
        SIZE_T size;
        LONG height;
        DWORD colorsUsed;
    };
    const Case refused[] = {
        {"one byte short", packedSize - 1, 4, 0},
        {"taller than its block", packedSize, 400000, 0},
        {"height without a magnitude", packedSize, LONG_MIN, 0},
        {"colour table past the block", packedSize, 4, 200},
    };
    for (const Case& c : refused) {
        SCOPED_TRACE(c.what);
        CGlobalMemory bad;
        ASSERT_TRUE(bad.Alloc(c.size, GMEM_MOVEABLE | GMEM_ZEROINIT));
        {
            CGlobalLocker lock(bad);
            auto* header = static_cast<BITMAPINFOHEADER*>(lock.Get());
            *header = *reinterpret_cast<const BITMAPINFOHEADER*>(dib.m_header);
            header->biHeight = c.height;
            header->biClrUsed = c.colorsUsed;
        }
        EXPECT_EQ(CreatePatternBrushFromGlobal(bad), nullptr);
    }
    EXPECT_EQ(CreatePatternBrushFromGlobal(nullptr), nullptr);
}

TEST(DibDraw, ScopeHolders)
{
    CDibCanvas canvas(1, 1, 0);
    ::SetStretchBltMode(canvas.Dc(), BLACKONWHITE);
    {
        const CStretchBltModeSaver saver(canvas.Dc());
        EXPECT_EQ(::GetStretchBltMode(canvas.Dc()), HALFTONE);
    }
    EXPECT_EQ(::GetStretchBltMode(canvas.Dc()), BLACKONWHITE);

    HGDIOBJ first = ::CreateSolidBrush(1);
    HGDIOBJ second = ::CreateSolidBrush(2);
    CGdiObjectHolder holder(first);
    holder.Attach(first);
    EXPECT_EQ(::GetObjectType(first), DWORD(OBJ_BRUSH)) << "attaching the held object keeps it";
    holder.Attach(second);
    EXPECT_EQ(::GetObjectType(first), 0u) << "the one held before is deleted";
    EXPECT_TRUE(holder.Delete());
    EXPECT_EQ(holder.Get(), nullptr);
    EXPECT_EQ(::GetObjectType(second), 0u);
    EXPECT_TRUE(holder.Delete()) << "nothing held";

    // A delete that fails keeps the object held.
    HGDIOBJ gone = ::CreateSolidBrush(3);
    holder.Attach(gone);
    ASSERT_TRUE(::DeleteObject(gone));
    EXPECT_FALSE(holder.Delete());
    EXPECT_EQ(holder.Get(), gone);
}
