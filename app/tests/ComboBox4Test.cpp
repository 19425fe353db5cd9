#include "app/ComboBox4.h"
#include "app/ExecSetting.h"
#include "app/MruStrings.h"

#include "AppTestSupport.h"
#include "ui/ComboBoxParts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// Reflects its children's notifications back to them, as the settings form does.
class CReflectingHost : public ATL::CWindowImpl<CReflectingHost> {
public:
    BEGIN_MSG_MAP(CReflectingHost)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

using CBox = CComboBoxString<fhw::CExecSetting, CMruStrings>;

class ComboBox4 : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.Create(nullptr, RECT{50, 50, 450, 350}, L"host", WS_OVERLAPPEDWINDOW));
        m_combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP |
                                                          CBS_DROPDOWN | CBS_AUTOHSCROLL,
                                    10, 10, 200, 150, m_host, reinterpret_cast<HMENU>(142), nullptr, nullptr);
        ASSERT_TRUE(m_combo);
        m_setting.SrcFolder.clear();
    }
    void TearDown() override { m_host.DestroyWindow(); }

    void Bind(const std::vector<std::wstring>& oldestFirst = {})
    {
        for (const std::wstring& text : oldestFirst) m_history.Add(text);
        ASSERT_TRUE(m_box.Bind(m_combo, &m_setting, &fhw::CExecSetting::GetSrcFolder,
                               &fhw::CExecSetting::SetSrcFolder, &m_history, true));
        m_box.ShowSettingValue();
    }
    HWND Edit() const
    {
        HWND list = nullptr, edit = nullptr;
        GetComboBoxParts(m_combo, list, edit);
        return edit;
    }
    // Types through the edit part as the keyboard would, character by character, at the end.
    void Type(const std::wstring& text) const
    {
        const LRESULT end = ::SendMessageW(Edit(), WM_GETTEXTLENGTH, 0, 0);
        ::SendMessageW(Edit(), EM_SETSEL, static_cast<WPARAM>(end), end);
        for (wchar_t c : text) ::SendMessageW(Edit(), WM_CHAR, c, 1);
    }
    std::wstring BoxText() const
    {
        std::wstring text;
        CWindowW(m_combo).GetWindowText(text);
        return text;
    }
    std::vector<std::wstring> Items() const
    {
        std::vector<std::wstring> items(static_cast<size_t>(m_box.GetCount()));
        for (size_t i = 0; i < items.size(); ++i) m_box.GetLBText(static_cast<int>(i), items[i]);
        return items;
    }

    CReflectingHost m_host;
    HWND m_combo = nullptr;
    fhw::CExecSetting m_setting;
    CMruStrings m_history{20};
    CBox m_box;
};

} // namespace

TEST(MruStrings, NewestFirstNoDuplicatesAtMostTwenty)
{
    CMruStrings history(20);
    for (int i = 0; i < 25; ++i) history.Add(L"entry" + std::to_wstring(i));
    ASSERT_EQ(history.m_items.size(), 20u);
    EXPECT_EQ(history.m_items.front()->m_text, L"entry24");
    EXPECT_EQ(history.m_items.back()->m_text, L"entry5");

    history.Add(L"entry10");
    EXPECT_EQ(history.m_items.size(), 20u);
    EXPECT_EQ(history.m_items.front()->m_text, L"entry10");
    history.Add(L"ENTRY10");
    EXPECT_EQ(history.m_items.size(), 20u) << "different case is a different text";
    EXPECT_EQ(history.m_items.front()->m_text, L"ENTRY10");
    EXPECT_EQ(history.m_items.back()->m_text, L"entry6");
}

TEST_F(ComboBox4, ListShowsTheHistoryInItsOrderAndTheSettingValue)
{
    m_setting.SrcFolder = L"D:\\middle";
    Bind({L"C:\\old", L"D:\\middle", L"E:\\new"});
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"E:\\new", L"D:\\middle", L"C:\\old"}));
    EXPECT_EQ(m_box.GetCurSel(), 1);
    EXPECT_EQ(BoxText(), L"D:\\middle");

    m_setting.SrcFolder = L"F:\\not in history";
    m_box.ShowSettingValue();
    EXPECT_EQ(m_box.GetCurSel(), CB_ERR);
    EXPECT_EQ(BoxText(), L"F:\\not in history");
}

TEST_F(ComboBox4, TypedTextNeverJumpsToAnotherEntry)
{
    // "abcd" is the prefix of "abcde" and differs from "ABCD" only in case.
    Bind({L"abc", L"ABCD", L"abcde"});
    Type(L"abcd");
    EXPECT_EQ(m_setting.SrcFolder, L"abcd");
    EXPECT_EQ(BoxText(), L"abcd");
    EXPECT_EQ(m_box.GetCurSel(), CB_ERR);

    // The list part is subclassed, so its own searches are exact and case-sensitive.
    HWND list = nullptr, edit = nullptr;
    ASSERT_TRUE(GetComboBoxParts(m_combo, list, edit));
    EXPECT_EQ(list, m_box.m_list.m_hWnd);
    EXPECT_EQ(::SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"abcd")), LB_ERR);
}

TEST_F(ComboBox4, ChoosingAnItemStoresItWhenTheSelectionEnds)
{
    Bind({L"first", L"second"});
    m_box.SetCurSel(1);
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_SELENDOK), reinterpret_cast<LPARAM>(m_combo));
    EXPECT_EQ(m_setting.SrcFolder, L"") << "taken only when the posted message arrives";
    PumpMessages();
    EXPECT_EQ(m_setting.SrcFolder, L"first");

    // Cancelling the drop-down stores what the edit then shows.
    m_box.SetCurSel(-1);
    ::SetWindowTextW(m_combo, L"typed");
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_SELENDCANCEL), reinterpret_cast<LPARAM>(m_combo));
    PumpMessages();
    EXPECT_EQ(m_setting.SrcFolder, L"typed");
}

TEST_F(ComboBox4, WheelStepsThroughTheHistory)
{
    m_setting.SrcFolder = L"newest";
    Bind({L"oldest", L"older", L"newest"});
    const auto wheel = [this](short delta) {
        m_box.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
        return m_setting.SrcFolder;
    };
    EXPECT_EQ(wheel(WHEEL_DELTA), L"newest") << "away from the user on the newest entry does nothing";
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"older");
    EXPECT_EQ(BoxText(), L"older");
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"oldest");
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"oldest") << "no entry beyond the oldest";
    EXPECT_EQ(wheel(WHEEL_DELTA), L"older");

    // A text outside the history goes to the newest entry on the first step towards the user.
    m_box.SetCurSel(-1);
    ::SetWindowTextW(m_combo, L"elsewhere");
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"newest");
    EXPECT_EQ(BoxText(), L"newest");
}
