#include "imaging/Dib.h"

#include "imaging/tests/DibTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <functional>

namespace {

// (x, y) inside the rectangle.
bool In(LONG x, LONG y, const RECT& r) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

DWORD WithAlpha(DWORD pixel, DWORD alpha) { return (pixel & 0x00FFFFFF) | alpha << 24; }

DWORD Premultiplied(DWORD p)
{
    const DWORD a = p >> 24;
    return (p & 0xFF) * a / 255 | ((p >> 8) & 0xFF) * a / 255 << 8 | ((p >> 16) & 0xFF) * a / 255 << 16 | a << 24;
}

} // namespace

// Every pixel of a 5 x 4 DIB checked after each operation, with rectangles inside, half outside,
// wholly outside and inverted, on bottom-up and top-down rows.
TEST(DibPixels, RectangleOperationsClipAndFollowTheRows)
{
    struct Case {
        const char* what;
        std::function<void(CDib&)> operation;
        std::function<DWORD(LONG x, LONG y)> expected;
    };
    const RECT inner{1, 1, 3, 3}, half{3, 2, 9, 9}, left{-2, -2, 2, 1}, top{2, -5, 9, 2};
    const Case cases[] = {
        {"FillRect inside", [&](CDib& d) { d.FillRect(inner, 0x11223344); },
         [&](LONG x, LONG y) { return In(x, y, inner) ? 0x11223344 : TestPixel(x, y); }},
        {"FillRect half outside", [&](CDib& d) { d.FillRect(half, 0x01020304); },
         [&](LONG x, LONG y) { return In(x, y, half) ? 0x01020304 : TestPixel(x, y); }},
        {"FillRect wholly outside",
         [](CDib& d) {
             d.FillRect(RECT{5, 0, 9, 4}, 0);
         },
         TestPixel},
        {"FillRect far outside",
         [](CDib& d) {
             d.FillRect(RECT{INT_MIN, INT_MIN, -1, -1}, 0);
         },
         TestPixel},
        {"FillRect inverted",
         [](CDib& d) {
             d.FillRect(RECT{3, 3, 1, 1}, 0);
         },
         TestPixel},
        {"ClearRect half outside", [&](CDib& d) { d.ClearRect(left); },
         [&](LONG x, LONG y) { return In(x, y, left) ? 0 : TestPixel(x, y); }},
        {"ClearRect whole",
         [](CDib& d) {
             d.ClearRect(RECT{0, 0, 5, 4});
         },
         [](LONG, LONG) { return 0u; }},
        {"SetAlphaRect half outside", [&](CDib& d) { d.SetAlphaRect(top, 7); },
         [&](LONG x, LONG y) { return In(x, y, top) ? WithAlpha(TestPixel(x, y), 7) : TestPixel(x, y); }},
        {"SetAlpha", [](CDib& d) { d.SetAlpha(9); }, [](LONG x, LONG y) { return WithAlpha(TestPixel(x, y), 9); }},
        {"FillColor", [](CDib& d) { d.FillColor(RGB(1, 2, 3)); }, [](LONG, LONG) { return 0x00010203u; }},
        {"PremultiplyRect wholly outside",
         [](CDib& d) {
             d.PremultiplyRect(RECT{-9, 0, 0, 4});
         },
         TestPixel},
        {"PremultiplyRect half outside", [&](CDib& d) { d.PremultiplyRect(top); },
         [&](LONG x, LONG y) { return In(x, y, top) ? Premultiplied(TestPixel(x, y)) : TestPixel(x, y); }},
    };
    for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.what) + ", " + RowsName(rows));
            CDib dib;
            MakeTestDib32(dib, 5, 4, rows);
            c.operation(dib);
            for (LONG y = 0; y < 4; ++y)
                for (LONG x = 0; x < 5; ++x) EXPECT_EQ(Pixel32(dib, x, y), c.expected(x, y)) << x << "," << y;
        }
    }
}

// Only Fill and Clear touch DIBs of other bit counts.
TEST(DibPixels, OtherBitCountsAreLeftAlone)
{
    CDib mask;
    ASSERT_TRUE(mask.Create(sizeof(BITMAPINFOHEADER), 3, 3, 8, 0, BI_RGB, 0) && mask.AllocBits());
    for (WORD bits : {WORD(1), WORD(4), WORD(8), WORD(16), WORD(24)}) {
        CDib dib;
        ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 3, 3, bits, 0, BI_RGB, 0) && dib.AllocBits());
        for (DWORD i = 0; i < dib.GetImageSize(); ++i) dib.m_bits[i] = BYTE(i * 37 + 1);
        const std::vector<BYTE> before(dib.m_bits, dib.m_bits + dib.GetImageSize());
        dib.SetAlpha(0);
        dib.FillRect(dib.GetRect(), 0);
        dib.ClearRect(RECT{0, 0, 1, 1});
        dib.Premultiply();
        dib.FlattenOnColor(0);
        dib.SetAlphaFromMask(mask);
        EXPECT_EQ(before, std::vector<BYTE>(dib.m_bits, dib.m_bits + before.size())) << bits;
        dib.Fill(0xA5);
        EXPECT_EQ(std::vector<BYTE>(before.size(), 0xA5), std::vector<BYTE>(dib.m_bits, dib.m_bits + before.size()));
    }
}

// Every channel value against every alpha, checked against the plain integer formulas.
TEST(DibPixels, PremultiplyAndFlattenOverEveryValue)
{
    for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
        SCOPED_TRACE(RowsName(rows));
        CDib premultiplied, flattened;
        // 259 columns: rows that do not end on a multiple of four pixels.
        for (CDib* dib : {&premultiplied, &flattened}) {
            ASSERT_TRUE(dib->Create(sizeof(BITMAPINFOHEADER), 259, SignedHeight(256, rows), 32, 0, BI_RGB, 0));
            ASSERT_TRUE(dib->AllocBits());
            for (DWORD a = 0; a < 256; ++a)
                for (DWORD x = 0; x < 259; ++x) {
                    const DWORD c = x % 256;
                    SetPixel32(*dib, x, a, c | (255 - c) << 8 | (c ^ 0x55) << 16 | a << 24);
                }
        }
        premultiplied.Premultiply();
        flattened.FlattenOnColor(RGB(10, 200, 77));
        for (DWORD a = 0; a < 256; ++a) {
            for (DWORD x = 0; x < 259; ++x) {
                const DWORD blue = x % 256, green = 255 - blue, red = blue ^ 0x55, rest = 255 - a;
                const DWORD source = blue | green << 8 | red << 16 | a << 24;
                ASSERT_EQ(Pixel32(premultiplied, x, a), Premultiplied(source)) << x << "," << a;
                const DWORD flat = (rest * 77 / 255 + a * blue / 255) | (rest * 200 / 255 + a * green / 255) << 8 |
                                   (rest * 10 / 255 + a * red / 255) << 16 | 0xFF000000;
                ASSERT_EQ(Pixel32(flattened, x, a), flat) << x << "," << a;
            }
        }
    }
}

// Masks smaller than the target, of either row order, and placed partly or wholly outside.
TEST(DibPixels, AlphaMasksTouchOnlyTheSharedArea)
{
    for (Rows targetRows : {Rows::BottomUp, Rows::TopDown}) {
        for (Rows maskRows : {Rows::BottomUp, Rows::TopDown}) {
            SCOPED_TRACE(std::string("target ") + RowsName(targetRows) + ", mask " + RowsName(maskRows));
            CDib mask;
            ASSERT_TRUE(mask.Create(sizeof(BITMAPINFOHEADER), 3, SignedHeight(2, maskRows), 8, 0, BI_RGB, 0));
            ASSERT_TRUE(mask.AllocBits());
            const BYTE values[2][3] = {{0, 128, 255}, {10, 20, 30}};
            for (LONG y = 0; y < 2; ++y)
                for (LONG x = 0; x < 3; ++x) *PixelAddress(mask, x, y) = values[y][x];

            CDib dib;
            MakeTestDib32(dib, 5, 4, targetRows);
            dib.SetAlphaFromMask(mask);
            for (LONG y = 0; y < 4; ++y)
                for (LONG x = 0; x < 5; ++x) {
                    const DWORD p = TestPixel(x, y);
                    EXPECT_EQ(Pixel32(dib, x, y), x < 3 && y < 2 ? WithAlpha(p, values[y][x]) : p);
                }

            // The mask's top-left at (3, -1): its bottom row over the target's top row, two columns.
            MakeTestDib32(dib, 5, 4, targetRows);
            dib.SetAlpha(128);
            dib.CombineAlphaMask(mask, 3, -1);
            for (LONG y = 0; y < 4; ++y) {
                for (LONG x = 0; x < 5; ++x) {
                    DWORD alpha = 128;
                    if (y == 0 && x >= 3) alpha = values[1][x - 3] + (255 - values[1][x - 3]) * 128 / 255;
                    EXPECT_EQ(Pixel32(dib, x, y), WithAlpha(TestPixel(x, y), alpha)) << x << "," << y;
                }
            }
            dib.CombineAlphaMask(mask, 0, 0);
            EXPECT_EQ(Pixel32(dib, 0, 0) >> 24, 128u) << "mask 0 keeps the alpha";
            EXPECT_EQ(Pixel32(dib, 1, 0) >> 24, 191u) << "128 over 128";
            EXPECT_EQ(Pixel32(dib, 2, 0) >> 24, 255u);
            const std::vector<DWORD> before = Pixels32(dib);
            for (POINT at : {POINT{INT_MAX - 1, 0}, POINT{0, INT_MAX}, POINT{-3, 0}, POINT{INT_MIN, INT_MIN}}) {
                dib.CombineAlphaMask(mask, at.x, at.y);
            }
            EXPECT_EQ(Pixels32(dib), before) << "masks wholly outside change nothing";
        }
    }
}

TEST(DibPixels, ColourTablesStayInsideThemselves)
{
    CDib one;
    ASSERT_TRUE(one.Create(sizeof(BITMAPINFOHEADER), 1, 1, 8, 1, BI_RGB, 0));
    one.SetGrayPalette();
    EXPECT_EQ(0, std::memcmp(one.GetColorTable(), "\0\0\0\xFF", 4)) << "one entry: black";
    CDib sixteen;
    ASSERT_TRUE(sixteen.Create(sizeof(BITMAPINFOHEADER), 1, 1, 4, 0, BI_RGB, 0));
    sixteen.SetGrayPalette();
    EXPECT_EQ(sixteen.GetColorTable()[15].rgbGreen, 255);
    EXPECT_FALSE(sixteen.SetMaskPalette(3)) << "only 8-bit tables of 256 colours";

    CDib dib;
    ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), 2, 2, 8, 0, BI_RGB, 0));
    const std::vector<BYTE> grey(reinterpret_cast<BYTE*>(dib.GetColorTable()),
                                 reinterpret_cast<BYTE*>(dib.GetColorTable()) + 1024);
    for (int index : {-1, 256, INT_MIN, INT_MAX}) EXPECT_FALSE(dib.SetMaskPalette(index)) << index;
    EXPECT_EQ(0, std::memcmp(dib.GetColorTable(), grey.data(), grey.size()));
    ASSERT_TRUE(dib.SetMaskPalette(255));
    EXPECT_EQ(0, std::memcmp(&dib.GetColorTable()[254], "\0\0\0\0\xFF\xFF\xFF\xFF", 8));

    CDib other;
    ASSERT_TRUE(other.Create(sizeof(BITMAPINFOHEADER), 9, 9, 8, 0, BI_RGB, 0));
    other.CopyPalette(dib);
    EXPECT_EQ(0, std::memcmp(other.GetColorTable(), dib.GetColorTable(), 1024));
    sixteen.CopyPalette(other);
    EXPECT_EQ(sixteen.GetColorTable()[1].rgbGreen, 17) << "tables of other lengths are not copied";
}
