#include "ui/EditEx.h"

#include "imaging/tests/ImagingTestSupport.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

namespace {

// Records the keys it sees and consumes the one it is told to.
class CKeyRecorder : public CEventListener {
public:
    explicit CKeyRecorder(WORD swallow) : m_swallow(swallow) {}
    void OnEvent(void* sender, void* record) override
    {
        auto* key = static_cast<CEditKeyEvent*>(record);
        m_sender = sender;
        m_seen.push_back(*key);
        if (key->m_code == m_swallow) key->m_handled = true;
    }
    WORD m_swallow;
    void* m_sender = nullptr;
    std::vector<CEditKeyEvent> m_seen;
};

class EditEx : public ImagingTest {
protected:
    void SetUp() override
    {
        m_edit = m_host.Child(L"EDIT", ES_AUTOHSCROLL, 1, {10, 10, 110, 30});
        ASSERT_TRUE(m_control.SubclassWindow(m_edit));
    }

    std::wstring Text() const
    {
        wchar_t text[64] = L"";
        ::GetWindowTextW(m_edit, text, 64);
        return text;
    }

    CTestHost m_host;
    HWND m_edit = nullptr;
    CEditEx m_control;
};

const COLORREF kBackground = RGB(250, 250, 250);

} // namespace

TEST_F(EditEx, DrawsItsPictureOnlyWhileEmpty)
{
    auto img = boost::make_shared<CImg>(BGR24, 4, 2);
    img->AllocBits();
    for (UINT y = 0; y < 2; ++y) {
        for (UINT x = 0; x < 4; ++x) {
            BYTE* p = img->m_bits.data() + y * img->GetStride() + x * 3;
            p[2] = 200; // red
        }
    }
    RECT client = {};
    ::GetClientRect(m_edit, &client);
    CMemoryCanvas canvas(client.right, client.bottom, kBackground);
    m_control.DrawImage(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(0, client.bottom / 2), kBackground); // no picture yet

    m_control.m_image = img;
    m_control.DrawImage(canvas.Dc());
    const int top = (client.bottom - 2 - client.top) >> 1;
    EXPECT_EQ(canvas.Pixel(0, top), RGB(200, 0, 0));
    EXPECT_EQ(canvas.Pixel(3, top + 1), RGB(200, 0, 0));
    EXPECT_EQ(canvas.Pixel(4, top), kBackground);
    if (top > 0) {
        EXPECT_EQ(canvas.Pixel(0, top - 1), kBackground);
    }

    canvas.Fill(kBackground);
    ::SetWindowTextW(m_edit, L"a");
    m_control.DrawImage(canvas.Dc());
    EXPECT_EQ(canvas.Pixel(0, top), kBackground);
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
    ASSERT_EQ(chars->m_seen.size(), 3u);
    EXPECT_EQ(chars->m_seen[0].m_code, L'a');
    EXPECT_EQ(chars->m_seen[0].m_repeat, 1);
    EXPECT_EQ(chars->m_seen[0].m_flags, 0x21);
    EXPECT_FALSE(chars->m_seen[0].m_handled);
    EXPECT_EQ(chars->m_sender, &m_control);

    // Delete at the start is swallowed until the listener lets it through.
    ::SendMessageW(m_edit, EM_SETSEL, 0, 0);
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), L"ab");
    keys->m_swallow = 0;
    ::SendMessageW(m_edit, WM_KEYDOWN, VK_DELETE, 1);
    EXPECT_EQ(Text(), L"b");
    ASSERT_EQ(keys->m_seen.size(), 2u);
    EXPECT_EQ(keys->m_seen[0].m_code, VK_DELETE);
}
