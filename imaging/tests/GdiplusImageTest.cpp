#include "imaging/GdiplusImage.h"

#include "ids/imaging.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

using GdiplusImage = ImagingTest;

TEST_F(GdiplusImage, EmptyCmykAndShortImagesMakeNoBitmap)
{
    EXPECT_FALSE(CreateBitmapFromImage(CImg(BGRA32, 5, 0)));
    CImg cmyk(CMYK32, 5, 1);
    cmyk.AllocBits();
    EXPECT_EQ(ThrownId([&] { CreateBitmapFromImage(cmyk); }), static_cast<UINT>(IDS_UNSUPPORTED_IMAGE_FORMAT));
    // Fewer pixel bytes than the geometry needs: GDI+ would read past them.
    CImg shortBits(BGRA32, 4, 4);
    shortBits.m_bits.resize(4 * 4 * 4 - 1);
    EXPECT_EQ(ThrownId([&] { CreateBitmapFromImage(shortBits); }), static_cast<UINT>(IDS_BAD_IMAGE_SIZE));
    shortBits.m_bits.resize(4 * 4 * 4);
    EXPECT_TRUE(CreateBitmapFromImage(shortBits)) << "whole, it makes one";
}
