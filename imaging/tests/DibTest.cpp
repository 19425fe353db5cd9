#include "imaging/Dib.h"

#include "imaging/tests/DibTestSupport.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <limits>

TEST(Dib, GeometryOfEveryBitCountBothWays)
{
    struct Case {
        WORD bits;
        LONG width;
        UINT stride;
        UINT colors;
    };
    const Case cases[] = {
        {1, 10, 4, 2}, {1, 33, 8, 2}, {4, 3, 4, 16}, {8, 5, 8, 256}, {16, 3, 8, 0}, {24, 3, 12, 0}, {32, 3, 12, 0},
    };
    for (const Case& c : cases) {
        for (Rows rows : {Rows::BottomUp, Rows::TopDown}) {
            SCOPED_TRACE(std::to_string(c.bits) + " bits, " + RowsName(rows));
            CDib dib;
            ASSERT_TRUE(dib.Create(sizeof(BITMAPINFOHEADER), c.width, SignedHeight(3, rows), c.bits, 0, BI_RGB, 0));
            ASSERT_TRUE(dib.AllocBits());
            EXPECT_EQ(dib.GetSignedStride(), rows == Rows::TopDown ? int(c.stride) : -int(c.stride));
            EXPECT_EQ(dib.GetHeight(), 3);
            EXPECT_EQ(dib.GetImageSize(), c.stride * 3);
            EXPECT_EQ(dib.GetColorCount(), c.colors);
            EXPECT_EQ(dib.GetBitsOffset(), 40 + c.colors * 4);
            EXPECT_EQ(dib.GetTopRow(), PixelAddress(dib, 0, 0));
        }
    }
    // Bit-field masks are no colours: a packed copy must find the pixels right after them.
    CDib fields;
    ASSERT_TRUE(fields.Create(sizeof(BITMAPINFOHEADER), 2, 2, 32, 0, BI_BITFIELDS, 0));
    EXPECT_EQ(fields.GetColorCount(), 3u);
    EXPECT_EQ(fields.GetBitsOffset(), 52u);
    EXPECT_EQ(fields.m_header->biClrUsed, 0u);
    EXPECT_EQ(fields.GetImageSize(), 16u);
    CDib grey;
    ASSERT_TRUE(grey.Create(sizeof(BITMAPINFOHEADER), 2, 2, 8, 0, BI_RGB, 0));
    EXPECT_EQ(0, std::memcmp(&grey.GetColorTable()[128], "\x80\x80\x80\xFF", 4));
    EXPECT_EQ(0, std::memcmp(&grey.GetColorTable()[255], "\xFF\xFF\xFF\xFF", 4));
}

// Sizes are worked out in 64 bits and refused before anything is allocated or written.
TEST(Dib, SizesThatDoNotFitAreRefused)
{
    struct Case {
        const char* what;
        UINT headerSize;
        LONG width;
        LONG height;
        WORD bits;
        UINT colors;
        UINT profile;
    };
    const Case cases[] = {
        {"row longer than 32 bits", 40, 0x7FFFFFFF, 2, 32, 0, 0},
        {"6.4 GB top-down", 40, 40000, -40000, 32, 0, 0},
        {"2 GiB exactly", 40, 16384, 32768, 32, 0, 0},
        {"height without a magnitude", 40, 1, LONG_MIN, 32, 0, 0},
        {"negative width", 40, -1, 1, 32, 0, 0},
        {"profile past the largest block", 124, 1, 1, 24, 0, 0xFFFFFF00},
        {"header shorter than its structure", 39, 1, 1, 32, 0, 0},
    };
    for (const Case& c : cases) {
        CDib dib;
        EXPECT_FALSE(dib.Create(c.headerSize, c.width, c.height, c.bits, c.colors, BI_RGB, c.profile)) << c.what;
        EXPECT_FALSE(dib.AllocBits()) << c.what;
    }
    CDib largest;
    EXPECT_TRUE(largest.Create(40, 16384, 32767, 32, 0, BI_RGB, 0)) << "one row less fits";
    ASSERT_TRUE(largest.Create(40, 1, 1, 8, 0xFFFFFFFF, BI_RGB, 0));
    EXPECT_EQ(largest.GetColorCount(), 256u) << "no more colours than 8 bits index";

    // A header handed over whose rows no block can hold reads as no image: nothing touches them.
    for (LONG height : {LONG_MIN, 40000L, -40000L}) {
        auto* header = static_cast<BITMAPINFOHEADER*>(std::calloc(1, sizeof(BITMAPINFOHEADER)));
        *header = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 40000, height, 1, 32, BI_RGB};
        CDib dib;
        ASSERT_TRUE(dib.Attach(header, std::calloc(1, 64)));
        EXPECT_FALSE(dib.HasImage());
        dib.Fill(1);
        dib.SetAlpha(1);
        dib.FillRect(RECT{0, 0, 2, 2}, 1);
        EXPECT_EQ(std::vector<BYTE>(dib.m_bits, dib.m_bits + 64), std::vector<BYTE>(64, 0)) << height;
        EXPECT_EQ(dib.CreatePatternBrush(), nullptr);
        CDibCanvas canvas(2, 2, 0);
        EXPECT_FALSE(dib.Draw(canvas.Dc(), RECT{0, 0, 2, 2}, RECT{0, 0, 2, 2}));
    }
}

TEST(Dib, V5HeaderCarriesAnIccProfile)
{
    const std::vector<BYTE> profile = ReadTestProfile();
    ASSERT_GT(profile.size(), 128u) << "FH_TEST_ICC_PROFILE must name an ICC profile (scripts/setup.sh installs one)";
    ASSERT_EQ(0, std::memcmp(profile.data() + 36, "acsp", 4)) << "not an ICC profile";
    for (WORD bits : {WORD(8), WORD(32)}) {
        SCOPED_TRACE(bits);
        CDib dib;
        ASSERT_TRUE(dib.CreateV5WithProfile(3, 2, bits, 0, BI_RGB, profile));
        const auto* v5 = reinterpret_cast<const BITMAPV5HEADER*>(dib.m_header);
        const DWORD table = bits == 8 ? 1024 : 0;
        EXPECT_EQ(v5->bV5CSType, 0x4D424544u) << "PROFILE_EMBEDDED";
        EXPECT_EQ(v5->bV5ProfileData, 124 + table);
        EXPECT_EQ(dib.GetProfileData(), reinterpret_cast<BYTE*>(dib.m_header) + 124 + table);
        EXPECT_EQ(0, std::memcmp(dib.GetProfileData(), profile.data(), profile.size()));
        EXPECT_EQ(dib.GetHeaderBlockSize(), 124 + table + profile.size());
        EXPECT_EQ(dib.GetBitsOffset(), 124 + table + profile.size());

        // A DIB made like it carries its own copy of the profile and the colour table.
        if (bits == 8) dib.GetColorTable()[7] = RGBQUAD{1, 2, 3, 4};
        CDib like;
        ASSERT_TRUE(like.CreateLike(dib.m_header));
        EXPECT_NE(like.GetProfileData(), dib.GetProfileData());
        EXPECT_EQ(0, std::memcmp(like.GetProfileData(), profile.data(), profile.size()));
        EXPECT_EQ(0, std::memcmp(like.GetColorTable(), dib.GetColorTable(), table));
    }
    CDib plain;
    ASSERT_TRUE(plain.CreateV5(3, 2, 32, 0, BI_RGB));
    EXPECT_EQ(reinterpret_cast<const BITMAPV5HEADER*>(plain.m_header)->bV5CSType, 0x73524742u) << "LCS_sRGB";
    EXPECT_EQ(plain.GetProfileData(), nullptr);
}

TEST(Dib, CreateLikeKeepsWhatTheNewTableHolds)
{
    CDib source;
    ASSERT_TRUE(source.Create(sizeof(BITMAPINFOHEADER), 4, -4, 8, 16, BI_RGB, 0));
    for (UINT i = 0; i < 16; ++i) source.GetColorTable()[i] = RGBQUAD{BYTE(i), BYTE(i * 2), BYTE(i * 3), 0};
    CDib like;
    ASSERT_TRUE(like.CreateLike(source.m_header));
    EXPECT_TRUE(like.IsTopDown());
    EXPECT_EQ(like.GetColorTable()[15].rgbRed, 45);
    EXPECT_EQ(like.GetColorTable()[16].rgbRed, 16) << "beyond the source's table: the grey table";
    ASSERT_TRUE(like.CreateLike(7, 5, 4, source.m_header));
    EXPECT_EQ(like.GetColorTable()[15].rgbGreen, 30);
    // Made like itself: the header it reads from is freed on the way.
    ASSERT_TRUE(source.CreateLike(9, 9, 8, source.m_header));
    EXPECT_EQ(source.GetColorTable()[15].rgbBlue, 15);
}

TEST(Dib, WriteInfoAndComparison)
{
    CDib v5;
    ASSERT_TRUE(v5.CreateV5(2, 2, 8, 4, BI_RGB));
    v5.GetColorTable()[3] = RGBQUAD{9, 8, 7, 6};
    std::vector<BYTE> info(v5.GetInfoSize(), 0xEE);
    EXPECT_FALSE(v5.WriteInfo(info.data(), v5.GetInfoSize() - 1));
    EXPECT_EQ(info, std::vector<BYTE>(info.size(), 0xEE)) << "nothing written into a short buffer";
    ASSERT_TRUE(v5.WriteInfo(info.data(), v5.GetInfoSize()));
    EXPECT_EQ(reinterpret_cast<BITMAPINFOHEADER*>(info.data())->biSize, 40u);
    EXPECT_EQ(0, std::memcmp(info.data() + 40 + 12, "\x9\x8\x7\x6", 4));

    // Equal pixel bytes make equal DIBs whatever their headers say.
    CDib a, b;
    ASSERT_TRUE(a.Create32AndAlloc(2, 2));
    ASSERT_TRUE(b.Create(124, 2, -2, 32, 0, BI_RGB, 0) && b.AllocBits());
    a.Fill(3);
    b.Fill(3);
    EXPECT_TRUE(a == b);
    b.m_bits[15] = 4;
    EXPECT_TRUE(a != b);
}

TEST(Dib, ResolutionFromDotsPerInch)
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), infinity = std::numeric_limits<double>::infinity();
    const std::pair<double, int> cases[] = {{96, 3780},   {72, 2835}, {300, 11811}, {0, 0},
                                            {-96, -3779}, {1e12, 0},  {nan, 0},     {infinity, 0}};
    for (const auto& [dpi, pelsPerMeter] : cases) EXPECT_EQ(DpiToPelsPerMeter(dpi, 0.5), pelsPerMeter) << dpi;
}
