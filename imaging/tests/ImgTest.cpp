#include "imaging/Img.h"

#include "ids/imaging.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

// Sizes are worked out in 64 bits: what does not fit is refused, not wrapped; what passes the
// pixel ceiling is refused before anything is allocated.
TEST(Img, SizesThatDoNotFitAreRefused)
{
    struct Case {
        ImgFormat format;
        UINT width;
        UINT height;
        bool fits;
        UINT refusal; // 0: allocated
    };
    const Case cases[] = {
        {BGRA32, 0xFFFFFFFF, 1, false, IDS_BAD_IMAGE_SIZE},  // the row alone wraps 32 bits
        {CMYKA40, 0x40000000, 1, false, IDS_BAD_IMAGE_SIZE}, // 40 bits a pixel
        {BGRA32, 40000, 40000, false, IDS_BAD_IMAGE_SIZE},   // 6.4 GB of pixels
        {MONO1, 0x80000000, 1, true, IDS_IMAGE_TOO_LARGE},   // 256 MB row, one row
        {MONO1, 30000, 30000, true, IDS_IMAGE_TOO_LARGE},    // 112 MB, but 900 megapixels
        {BGRA32, 1000, 1000, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        CImg img(c.format, c.width, c.height);
        UINT size = 0;
        EXPECT_EQ(img.GetBitsSize(size), c.fits);
        EXPECT_EQ(ThrownId([&img] { img.AllocBits(); }), c.refusal);
        EXPECT_EQ(img.HasAllBits(), c.refusal == 0);
    }
    // The caller sets the ceiling.
    CImg img(MONO8, 10, 10);
    CImg::SetPixelCeiling(99);
    EXPECT_EQ(ThrownId([&img] { img.AllocBits(); }), static_cast<UINT>(IDS_IMAGE_TOO_LARGE));
    CImg::SetPixelCeiling(100);
    EXPECT_NO_THROW(img.AllocBits());
    CImg::SetPixelCeiling(kDefaultPixelCeiling);
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
    }
    EXPECT_EQ(cc->m_type, static_cast<UINT>(CColorContext::EXIF));
}
