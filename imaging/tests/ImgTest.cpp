#include "imaging/Img.h"

#include "foundation/ResString.h"
#include "ids/imaging.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

TEST(Img, RowsArePaddedAndSizesThatDoNotFitAreRefused)
{
    for (UINT format = 0; format < kImgFormatCount; ++format) {
        const UINT bits = GetImgFormatBitsPerPixel(static_cast<ImgFormat>(format));
        for (UINT width = 0; width < 70; ++width) {
            const UINT stride = CImg(static_cast<ImgFormat>(format), width, 1).GetStride();
            EXPECT_EQ(stride % 4, 0u);
            EXPECT_GE(stride * 8, width * bits);
            EXPECT_LT(stride * 8, width * bits + 32 + 7);
        }
    }
    struct Case {
        ImgFormat format;
        UINT width;
        UINT height;
        bool fits;
    };
    const Case cases[] = {
        {BGRA32, 0xFFFFFFFF, 1, false},  // the row alone wraps 32 bits
        {CMYKA40, 0x40000000, 1, false}, // 40 bits a pixel
        {BGRA32, 40000, 40000, false},   // 6.4 GB of pixels
        {MONO1, 0x80000000, 1, true},    // 256 MB row, one row
        {BGRA32, 1000, 1000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        CImg img(c.format, c.width, c.height);
        UINT size = 0;
        EXPECT_EQ(img.GetBitsSize(size), c.fits);
        if (c.fits) continue;
        EXPECT_EQ(ThrownId([&img] { img.AllocBits(); }), static_cast<UINT>(IDS_BAD_IMAGE_SIZE));
        EXPECT_FALSE(img.HasAllBits());
    }
}

TEST(Img, ConstructionComparisonAndCopiesInEveryFormat)
{
    auto cc = boost::make_shared<CColorContext>();
    cc->SetExifColorSpace(1);
    for (UINT format = 0; format < kImgFormatCount; ++format) {
        SCOPED_TRACE(format);
        CImg img(static_cast<ImgFormat>(format), 5, 3);
        img.AllocBits();
        for (size_t i = 0; i < img.m_bits.size(); ++i) img.m_bits[i] = static_cast<BYTE>(i * 7);
        img.SetColorContext(cc);

        // Copies own their colour context: changing one leaves the other alone.
        CImg copy(img);
        EXPECT_TRUE(copy == img);
        copy.m_cc->SetProfile(std::vector<BYTE>{1, 2, 3});
        EXPECT_FALSE(copy == img);
        copy = img;
        copy.m_bits.back() ^= 1;
        EXPECT_FALSE(copy == img);
        const CImgPtr clone = img.Clone();
        EXPECT_TRUE(*clone == img);
        EXPECT_NE(clone->m_cc.get(), cc.get());

        const CImgPtr header = img.CloneHeader();
        EXPECT_EQ(header->m_w, 5u);
        EXPECT_TRUE(header->m_bits.empty());
        const CImg other(format == MONO1 ? MONO8 : MONO1, 2, 2);
        CImg a = img, b = other;
        a.swap(b);
        EXPECT_TRUE(a == other);
        EXPECT_TRUE(b == img);
    }
    EXPECT_EQ(cc->m_type, static_cast<UINT>(CColorContext::EXIF));
}

TEST(Img, FormatNamesComeFromTheStringTable)
{
    const CNamedIntTable& table = GetImgFormatTable();
    ASSERT_EQ(table.size(), kImgFormatCount);
    for (UINT i = 0; i < kImgFormatCount; ++i) EXPECT_EQ(table[i]->m_name, LoadResString(IDS_IMG_FORMAT_BGRA32 + i));
}
