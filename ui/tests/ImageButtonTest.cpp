#include "ui/ImageButton.h"

#include "imaging/tests/ImagingTestSupport.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

namespace {

class ImageButton : public ImagingTest {
protected:
    void SetUp() override
    {
        m_button = m_host.Child(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 1, {10, 10, 50, 40});
        m_other = m_host.Child(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 2, {60, 10, 100, 40});
        ASSERT_TRUE(m_control.SubclassWindow(m_button));
    }

    // The post-paint stage of the button's custom draw, into a canvas of the given size.
    LRESULT PostPaint(CMemoryCanvas& canvas, RECT rc, UINT state)
    {
        NMCUSTOMDRAW draw = {};
        draw.hdr.hwndFrom = m_button;
        draw.hdr.idFrom = 1;
        draw.hdr.code = NM_CUSTOMDRAW;
        draw.dwDrawStage = CDDS_POSTPAINT;
        draw.hdc = canvas.Dc();
        draw.rc = rc;
        draw.uItemState = state;
        return ::SendMessageW(m_button, OCM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw));
    }

    CTestHost m_host;
    HWND m_button = nullptr;
    HWND m_other = nullptr;
    CImageButton m_control;
};

const COLORREF kBackground = RGB(10, 200, 10);

} // namespace

TEST_F(ImageButton, AsksForPostPaintOnly)
{
    NMCUSTOMDRAW draw = {};
    draw.hdr.code = NM_CUSTOMDRAW;
    draw.dwDrawStage = CDDS_PREPAINT;
    EXPECT_EQ(::SendMessageW(m_button, OCM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw)), CDRF_NOTIFYPOSTPAINT);
    CMemoryCanvas canvas(40, 30, kBackground);
    EXPECT_EQ(PostPaint(canvas, {0, 0, 40, 30}, 0), CDRF_DODEFAULT);
    EXPECT_EQ(canvas.Pixel(20, 15), kBackground); // no picture yet
}

TEST_F(ImageButton, DrawsThePictureCentredInEachState)
{
    m_control.LoadStateImages(64100, L"IMAGE");
    ASSERT_TRUE(m_control.m_image);
    ASSERT_TRUE(m_control.m_disabledImage);
    // 8 x 6 picture in a 40 x 30 face: at (16, 12).
    CMemoryCanvas canvas(40, 30, kBackground);
    PostPaint(canvas, {0, 0, 40, 30}, 0);
    EXPECT_EQ(canvas.Pixel(15, 12), kBackground);
    EXPECT_EQ(canvas.Pixel(16, 12), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(23, 12), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(16, 17), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(16, 18), kBackground);

    canvas.Fill(kBackground);
    PostPaint(canvas, {0, 0, 40, 30}, CDIS_DISABLED);
    EXPECT_EQ(canvas.Pixel(16, 12), RGB(0x80, 0x80, 0x80));
    EXPECT_EQ(canvas.Pixel(23, 12), RGB(0x80, 0x80, 0x80));

    // Without a disabled picture the normal one is embossed: no longer red and blue.
    m_control.m_disabledImage.reset();
    canvas.Fill(kBackground);
    PostPaint(canvas, {0, 0, 40, 30}, CDIS_DISABLED);
    bool changed = false;
    for (int y = 12; y < 18; ++y) {
        for (int x = 16; x < 24; ++x) {
            const COLORREF c = canvas.Pixel(x, y);
            EXPECT_NE(c, RGB(255, 0, 0));
            EXPECT_NE(c, RGB(0, 0, 255));
            changed = changed || c != kBackground;
        }
    }
    EXPECT_TRUE(changed);
}

TEST_F(ImageButton, APictureLargerThanTheFaceIsClippedOnBothSides)
{
    m_control.LoadStateImage(64100, L"IMAGE", false);
    CMemoryCanvas canvas(4, 4, kBackground);
    PostPaint(canvas, {0, 0, 4, 4}, 0); // offsets (-2, -1)
    EXPECT_EQ(canvas.Pixel(0, 0), RGB(255, 0, 0));  // picture column 2
    EXPECT_EQ(canvas.Pixel(1, 0), RGB(255, 0, 0));  // column 3
    EXPECT_EQ(canvas.Pixel(2, 0), RGB(0, 0, 255));  // column 4
    EXPECT_EQ(canvas.Pixel(3, 3), RGB(0, 0, 255));  // column 5
}

TEST_F(ImageButton, AMissingResourceEmptiesTheSlot)
{
    m_control.LoadStateImages(64100, L"IMAGE");
    m_control.LoadStateImage(64199, L"IMAGE", true);
    EXPECT_TRUE(m_control.m_image);
    EXPECT_FALSE(m_control.m_disabledImage);
    m_control.ReleaseImages();
    EXPECT_FALSE(m_control.m_image);
}

TEST_F(ImageButton, LosingTheFocusLeavesNoDefaultFrame)
{
    EXPECT_EQ(m_control.m_style & BS_DEFPUSHBUTTON, 0u);
    ::SetFocus(m_button);
    ::SendMessageW(m_button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE); // what the dialog manager does
    EXPECT_NE(::GetWindowLongW(m_button, GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
    ::SendMessageW(m_button, WM_KILLFOCUS, reinterpret_cast<WPARAM>(m_other), 0);
    EXPECT_EQ(::GetWindowLongW(m_button, GWL_STYLE) & BS_DEFPUSHBUTTON, 0);

    // A button that was the default stays one.
    CImageButton defaultButton;
    HWND hwnd = m_host.Child(L"BUTTON", BS_DEFPUSHBUTTON, 3, {10, 50, 50, 80});
    ASSERT_TRUE(defaultButton.SubclassWindow(hwnd));
    ::SendMessageW(hwnd, WM_KILLFOCUS, reinterpret_cast<WPARAM>(m_other), 0);
    EXPECT_NE(::GetWindowLongW(hwnd, GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
}
