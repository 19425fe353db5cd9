#include "app/ComboBox4.h"
#include "app/ExecSetting.h"
#include "app/MruStrings.h"
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

class CRecordingListener : public CEventListener {
public:
    void OnEvent(void* sender, void* record) override
    {
        m_senders.push_back(sender);
        m_records.push_back(reinterpret_cast<INT_PTR>(record));
    }
    std::vector<void*> m_senders;
    std::vector<INT_PTR> m_records;
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
        m_other = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 10, 100, 100, 20, m_host,
                                    reinterpret_cast<HMENU>(200), nullptr, nullptr);
        m_setting.SrcFolder.clear();
        m_listener.reset(new CRecordingListener);
        m_box.m_valueChanged.push_back(m_listener);
        m_box.m_focusLost.push_back(m_listener);
    }
    void TearDown() override
    {
        if (m_host.m_hWnd) m_host.DestroyWindow();
    }

    void Bind()
    {
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
    // Types through the edit part as the keyboard would, character by character.
    void Type(const std::wstring& text) const
    {
        const LRESULT end = ::SendMessageW(Edit(), WM_GETTEXTLENGTH, 0, 0);
        ::SendMessageW(Edit(), EM_SETSEL, static_cast<WPARAM>(end), end);
        for (wchar_t c : text) ::SendMessageW(Edit(), WM_CHAR, c, 1);
    }
    void ClearEdit() const
    {
        ::SendMessageW(Edit(), EM_SETSEL, 0, -1);
        ::SendMessageW(Edit(), WM_CHAR, VK_BACK, 1);
    }
    std::wstring BoxText() const
    {
        std::wstring text;
        CWindowW(m_combo).GetWindowText(text);
        return text;
    }
    std::vector<std::wstring> Items() const
    {
        std::vector<std::wstring> items;
        CComboBoxW box(m_combo);
        std::wstring text;
        for (int i = 0; i < box.GetCount(); ++i) {
            box.GetLBText(i, text);
            items.push_back(text);
        }
        return items;
    }
    static void PumpMessages()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    CReflectingHost m_host;
    HWND m_combo = nullptr;
    HWND m_other = nullptr;
    fhw::CExecSetting m_setting;
    CMruStrings m_history{20};
    CBox m_box;
    boost::shared_ptr<CRecordingListener> m_listener;
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
    m_history.Add(L"C:\\old");
    m_history.Add(L"D:\\middle");
    m_history.Add(L"E:\\new");
    m_setting.SrcFolder = L"D:\\middle";
    Bind();
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"E:\\new", L"D:\\middle", L"C:\\old"}));
    EXPECT_EQ(m_box.GetCurSel(), 1);
    EXPECT_EQ(BoxText(), L"D:\\middle");

    m_setting.SrcFolder = L"F:\\not in history";
    m_box.ShowSettingValue();
    EXPECT_EQ(m_box.GetCurSel(), CB_ERR);
    EXPECT_EQ(BoxText(), L"F:\\not in history");
}

TEST_F(ComboBox4, TypingWritesTheSettingAtOnce)
{
    Bind();
    Type(L"\\DCIM");
    EXPECT_EQ(m_setting.SrcFolder, L"\\DCIM");
    ASSERT_EQ(m_listener->m_records.size(), 5u) << "one event per changed character";
    EXPECT_EQ(m_listener->m_records.back(), CBox::kReasonEdit);
    EXPECT_EQ(m_listener->m_senders.back(), static_cast<void*>(&m_box));

    // Trailing blanks: the setting is trimmed, the box keeps what was typed.
    Type(L"  ");
    EXPECT_EQ(m_setting.SrcFolder, L"\\DCIM");
    EXPECT_EQ(BoxText(), L"\\DCIM  ");
    EXPECT_EQ(m_listener->m_records.size(), 5u) << "no change, no event";

    // WM_SETTEXT alone sends no notification; with CBN_EDITCHANGE reflected the box takes it.
    ::SendMessageW(m_combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"E:\\Photos"));
    EXPECT_EQ(m_setting.SrcFolder, L"\\DCIM");
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(m_combo));
    EXPECT_EQ(m_setting.SrcFolder, L"E:\\Photos");
}

TEST_F(ComboBox4, TypedTextNeverJumpsToAnotherEntry)
{
    m_history.Add(L"abc");
    m_history.Add(L"ABCD");
    m_history.Add(L"abcde");
    Bind();
    // "abcd" is the prefix of "abcde" and differs from "ABCD" only in case.
    Type(L"abc");
    EXPECT_EQ(m_setting.SrcFolder, L"abc");
    Type(L"d");
    EXPECT_EQ(m_setting.SrcFolder, L"abcd");
    EXPECT_EQ(BoxText(), L"abcd");
    EXPECT_EQ(m_box.GetCurSel(), CB_ERR);

    // The list's own searches are exact and case-sensitive.
    HWND list = nullptr, edit = nullptr;
    ASSERT_TRUE(GetComboBoxParts(m_combo, list, edit));
    EXPECT_EQ(::SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"abcd")), LB_ERR);
    EXPECT_EQ(list, m_box.m_list.m_hWnd);
    EXPECT_EQ(::SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"ABCD")), 1);
    EXPECT_EQ(::SendMessageW(list, LB_FINDSTRINGEXACT, 2, reinterpret_cast<LPARAM>(L"abcde")), 0) << "wraps";
}

TEST_F(ComboBox4, ChoosingAnItemStoresItWhenTheSelectionEnds)
{
    m_history.Add(L"first");
    m_history.Add(L"second");
    Bind();
    m_box.SetCurSel(1);
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_SELENDOK), reinterpret_cast<LPARAM>(m_combo));
    EXPECT_EQ(m_setting.SrcFolder, L"") << "taken only when the posted message arrives";
    PumpMessages();
    EXPECT_EQ(m_setting.SrcFolder, L"first");
    ASSERT_FALSE(m_listener->m_records.empty());
    EXPECT_EQ(m_listener->m_records.back(), CBN_SELENDOK);

    // Cancelling the drop-down stores what the edit then shows.
    m_box.SetCurSel(-1);
    ::SetWindowTextW(m_combo, L"typed");
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_SELENDCANCEL), reinterpret_cast<LPARAM>(m_combo));
    PumpMessages();
    EXPECT_EQ(m_setting.SrcFolder, L"typed");
    EXPECT_EQ(m_listener->m_records.back(), CBN_SELENDCANCEL);
}

TEST_F(ComboBox4, WheelStepsThroughTheHistory)
{
    m_history.Add(L"oldest");
    m_history.Add(L"older");
    m_history.Add(L"newest");
    m_setting.SrcFolder = L"newest";
    Bind();
    const auto wheel = [this](short delta) {
        return m_box.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
    };
    wheel(WHEEL_DELTA);
    EXPECT_EQ(m_setting.SrcFolder, L"newest") << "away from the user on the newest entry does nothing";
    EXPECT_TRUE(m_listener->m_records.empty());

    wheel(-WHEEL_DELTA);
    EXPECT_EQ(m_setting.SrcFolder, L"older");
    EXPECT_EQ(BoxText(), L"older");
    EXPECT_EQ(m_listener->m_records.size(), 1u);
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(m_setting.SrcFolder, L"oldest");
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(m_setting.SrcFolder, L"oldest") << "no entry beyond the oldest";
    wheel(WHEEL_DELTA);
    EXPECT_EQ(m_setting.SrcFolder, L"older");
    wheel(0);
    EXPECT_EQ(m_setting.SrcFolder, L"older");

    // A text outside the history goes to the newest entry on the first step towards the user.
    m_box.SetCurSel(-1);
    ::SetWindowTextW(m_combo, L"elsewhere");
    wheel(-WHEEL_DELTA);
    EXPECT_EQ(m_setting.SrcFolder, L"newest");
    EXPECT_EQ(BoxText(), L"newest");
}

TEST_F(ComboBox4, RefillKeepsTheTextAndFollowsTheHistory)
{
    Bind();
    Type(L"typed");
    m_history.Add(L"one");
    m_history.Add(L"typed");
    m_box.Refill();
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"typed", L"one"}));
    EXPECT_EQ(BoxText(), L"typed");
    EXPECT_EQ(m_box.GetCurSel(), 0);

    // Refilled on drop-down only when asked.
    m_history.Add(L"two");
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_DROPDOWN), reinterpret_cast<LPARAM>(m_combo));
    EXPECT_EQ(Items().size(), 2u);
    m_box.m_refillOnDropDown = true;
    ::SendMessageW(m_host, WM_COMMAND, MAKEWPARAM(142, CBN_DROPDOWN), reinterpret_cast<LPARAM>(m_combo));
    EXPECT_EQ(Items(), (std::vector<std::wstring>{L"two", L"typed", L"one"}));
    EXPECT_EQ(BoxText(), L"typed");
}

TEST_F(ComboBox4, WideItemWidensTheDropDownList)
{
    Bind();
    RECT client{};
    ::GetClientRect(m_combo, &client);
    m_box.Refill();
    EXPECT_EQ(m_box.SendMessage(CB_GETDROPPEDWIDTH), client.right) << "never narrower than the box";

    const std::wstring wide(80, L'W');
    m_history.Add(wide);
    m_box.Refill();
    HWND list = nullptr, edit = nullptr;
    ASSERT_TRUE(GetComboBoxParts(m_combo, list, edit));
    HDC dc = ::GetDC(m_combo);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(m_box.SendMessage(WM_GETFONT)));
    SIZE size{};
    ::GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_combo, dc);
    const int scroll = (::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) ? ::GetSystemMetrics(SM_CXVSCROLL) : 0;
    EXPECT_GT(size.cx, client.right);
    EXPECT_EQ(m_box.SendMessage(CB_GETDROPPEDWIDTH), size.cx + 6 + scroll);
}

TEST_F(ComboBox4, LeavingTheBoxKeepsTheTypedTextAndTellsListeners)
{
    Bind();
    m_host.ShowWindow(SW_SHOW);
    ::SetForegroundWindow(m_host);
    ::SetFocus(Edit());
    Type(L"kept");
    const size_t before = m_listener->m_records.size();
    ::SetFocus(m_other);
    EXPECT_EQ(m_setting.SrcFolder, L"kept");
    EXPECT_EQ(BoxText(), L"kept");
    ASSERT_EQ(m_listener->m_records.size(), before + 1) << "the focus-lost event";
    EXPECT_EQ(m_listener->m_records.back(), 0);

    // Without live update the typed text is dropped when the box is left.
    m_box.m_liveUpdate = false;
    ::SetFocus(Edit());
    Type(L"X");
    EXPECT_EQ(m_setting.SrcFolder, L"kept");
    ::SetFocus(m_other);
    EXPECT_EQ(BoxText(), L"kept");

    // Taking the text on leaving instead.
    m_box.m_updateOnKillFocus = true;
    ::SetFocus(Edit());
    Type(L"Y");
    ::SetFocus(m_other);
    EXPECT_EQ(m_setting.SrcFolder, L"keptY");
}

TEST_F(ComboBox4, EnterTakesTheTextAndIsConsumed)
{
    m_box.m_liveUpdate = false;
    Bind();
    auto enter = boost::shared_ptr<CRecordingListener>(new CRecordingListener);
    m_box.m_enter.push_back(enter);
    Type(L"E:\\Photos");
    EXPECT_EQ(m_setting.SrcFolder, L"") << "no live update";
    ::SendMessageW(Edit(), WM_KEYDOWN, VK_RETURN, 0x001C0001);
    EXPECT_EQ(m_setting.SrcFolder, L"E:\\Photos");
    ASSERT_EQ(enter->m_senders.size(), 1u);
    EXPECT_EQ(enter->m_senders[0], static_cast<void*>(&m_box));
    ASSERT_EQ(m_listener->m_records.size(), 0u) << "value-changed follows the live-update flag";
}
