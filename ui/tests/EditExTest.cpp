#include "ui/EditEx.h"

#include "imaging/ImgLoader.h"
#include "imaging/tests/ImagingTestSupport.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

namespace {

// Records the keys it sees and consumes the one it is told to.
class CKeyRecorder : public CEventListener {
public:
    explicit CKeyRecorder(WORD swallow) : m_swallow(swallow) {}
    void OnEvent(void*, void* record) override
    {
        auto* key = static_cast<CEditKeyEvent*>(record);
        m_seen.push_back(key->m_code);
        key->m_handled = key->m_code == m_swallow;
    }
    WORD m_swallow;
    std::vector<WORD> m_seen;
};

class EditEx : public ImagingTest {
protected:
    void SetUp() override { ASSERT_TRUE(m_control.SubclassWindow(m_edit)); }

    std::wstring Text() const
    {
        std::wstring text;
        m_control.GetWindowText(text);
        return text;
    }

    CTestHost m_host;
    HWND m_edit = m_host.Child(L"EDIT", ES_AUTOHSCROLL, 1, {10, 10, 110, 30});
    CEditEx m_control;
};

} // namespace

TEST_F(EditEx, DrawsItsPictureOnlyWhileEmpty)
{
    const COLORREF background = RGB(250, 250, 250);
    RECT client = {};
    ::GetClientRect(m_edit, &client);
    CMemoryCanvas canvas(client.right, client.bottom, background);
    // The 8 x 6 test picture (red at its top left, blue from column 4), vertically centred at the left.
    m_control.m_image = wic::CImgLoader().LoadFromResource(64100);
    m_control.DrawImage(canvas.Dc());
    const int top = (client.bottom - 6) / 2;
    ASSERT_GT(top, 0);
    EXPECT_EQ(canvas.Pixel(0, top - 1), background);
    EXPECT_EQ(canvas.Pixel(0, top), RGB(255, 0, 0));
    EXPECT_EQ(canvas.Pixel(4, top), RGB(0, 0, 255));
    EXPECT_EQ(canvas.Pixel(8, top), background);

    canvas.Fill(background);
    ::SetWindowTextW(m_edit, L"a");
    m_control.DrawImage(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(0, top), background);
}

TEST_F(EditEx, KeyListenersSeeKeysFirstAndMayConsumeThem)
{
    auto keys = boost::make_shared<CKeyRecorder>(static_cast<WORD>(VK_DELETE));
    auto chars = boost::make_shared<CKeyRecorder>(static_cast<WORD>(L'x'));
    m_control.m_keyDownListeners.push_back(keys);
    m_control.m_charListeners.push_back(chars);

    ::SendMessageW(m_edit, WM_CHAR, L'a', 0x00210001);
    ::SendMessageW(m_edit, WM_CHAR, L'x', 1);
    ::SendMessageW(m_edit, WM_CHAR, L'b', 1);
    EXPECT_EQ(Text(), L"ab");
    EXPECT_EQ(chars->m_seen, (std::vector<WORD>{L'a', L'x', L'b'}));

    // Delete at the start is swallowed until the listener lets it through.
    ::SendMessageW(m_edit, EM_SETSEL, 0, 0);
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), L"ab");
    keys->m_swallow = 0;
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), L"b");
    EXPECT_EQ(keys->m_seen, (std::vector<WORD>{VK_DELETE, VK_DELETE}));
}
