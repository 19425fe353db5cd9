#include "ui/ImageButton.h"

#include "imaging/tests/ImagingTestSupport.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

namespace {

class ImageButton : public ImagingTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_control.SubclassWindow(m_button)); }

    // A stage of the button's custom draw into a 40 x 30 canvas, as the parent reflects it.
    LRESULT CustomDraw(CMemoryCanvas& canvas, DWORD stage, UINT state = 0)
    {
        NMCUSTOMDRAW draw = {};
        draw.hdr.code = NM_CUSTOMDRAW;
        draw.dwDrawStage = stage;
        draw.hdc = canvas.Dc();
        draw.rc = {0, 0, 40, 30};
        draw.uItemState = state;
        return ::SendMessageW(m_button, OCM_NOTIFY, 1, reinterpret_cast<LPARAM>(&draw));
    }

    CTestHost m_host;
    HWND m_button = m_host.Child(L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 1, {10, 10, 50, 40});
    CImageButton m_control;
};

const COLORREF kBackground = RGB(10, 200, 10);

} // namespace

TEST_F(ImageButton, DrawsItsPictureCentredAfterTheButton)
{
    CMemoryCanvas canvas(40, 30, kBackground);
    EXPECT_EQ(CustomDraw(canvas, CDDS_PREPAINT), CDRF_NOTIFYPOSTPAINT);
    // The 8 x 6 test picture (its top row red at the left, blue at the right) sits at (16, 12).
    m_control.LoadStateImage(64100, L"IMAGE", false);
    EXPECT_EQ(CustomDraw(canvas, CDDS_POSTPAINT), CDRF_DODEFAULT);
    EXPECT_EQ(canvas.Pixel(15, 12), kBackground);
    EXPECT_EQ(canvas.Pixel(16, 12), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(23, 12), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(16, 18), kBackground);
    // A picture that cannot be loaded draws nothing.
    m_control.LoadStateImage(64199, L"IMAGE", false);
    canvas.Fill(kBackground);
    CustomDraw(canvas, CDDS_POSTPAINT);
    EXPECT_EQ(canvas.Pixel(16, 12), kBackground);
}

TEST_F(ImageButton, LosingTheFocusLeavesNoDefaultFrame)
{
    const HWND other = m_host.Child(L"BUTTON", BS_DEFPUSHBUTTON, 2, {60, 10, 100, 40});
    CImageButton defaultButton;
    ASSERT_TRUE(defaultButton.SubclassWindow(other));
    // What the dialog manager does to the focused push button.
    ::SendMessageW(m_button, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    ::SendMessageW(m_button, WM_KILLFOCUS, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_EQ(::GetWindowLongW(m_button, GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
    // A button that was the default stays one.
    ::SendMessageW(other, WM_KILLFOCUS, reinterpret_cast<WPARAM>(m_button), 0);
    EXPECT_NE(::GetWindowLongW(other, GWL_STYLE) & BS_DEFPUSHBUTTON, 0);
}
