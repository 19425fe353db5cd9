#include "app/ButtonBool.h"
#include "app/ExecSetting.h"

#include <gtest/gtest.h>

namespace {

// A parent that reflects its children's notifications back to them, as the settings form does.
class CReflectingHost : public ATL::CWindowImpl<CReflectingHost> {
public:
    BEGIN_MSG_MAP(CReflectingHost)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()
};

class CCountingListener : public CSettingListener {
public:
    void OnEvent(void* sender, int reason) override
    {
        m_senders.push_back(sender);
        m_reasons.push_back(reason);
    }
    std::vector<void*> m_senders;
    std::vector<int> m_reasons;
};

} // namespace

TEST(ButtonBool, ClickWritesTheBoundFlagAndTellsListeners)
{
    CReflectingHost host;
    ASSERT_TRUE(host.Create(nullptr, ATL::CWindow::rcDefault, L"host", WS_OVERLAPPEDWINDOW));
    HWND box = ::CreateWindowExW(0, L"BUTTON", L"eject", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 0, 0, 100, 20, host,
                                 reinterpret_cast<HMENU>(100), nullptr, nullptr);
    fhw::CExecSetting setting;
    ASSERT_EQ(setting.Flags, 14u);
    auto listener = boost::shared_ptr<CCountingListener>(new CCountingListener);
    CButtonBool<fhw::CExecSetting> button;
    button.m_listeners.push_back(listener);
    ASSERT_TRUE(button.Attach(box, &setting, &fhw::CExecSetting::GetEject, &fhw::CExecSetting::SetEject));
    EXPECT_EQ(button.GetCheck(), BST_CHECKED) << "shows the flag";

    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(setting.Flags, 10u);
    ASSERT_EQ(listener->m_senders.size(), 1u);
    EXPECT_EQ(listener->m_senders[0], &button);
    EXPECT_EQ(listener->m_reasons[0], 0);

    ::SendMessageW(box, BM_CLICK, 0, 0);
    EXPECT_EQ(setting.Flags, 14u);
    EXPECT_EQ(listener->m_senders.size(), 2u);

    // A flag changed elsewhere and a click that agrees with it: nothing is written or told.
    setting.SetEject(false);
    button.SetCheck(BST_CHECKED);
    ::SendMessageW(host, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(box));
    EXPECT_TRUE(setting.GetEject());
    EXPECT_EQ(listener->m_senders.size(), 3u);
    ::SendMessageW(host, WM_COMMAND, MAKEWPARAM(100, BN_CLICKED), reinterpret_cast<LPARAM>(box));
    EXPECT_EQ(listener->m_senders.size(), 3u) << "no change, no event";
    host.DestroyWindow();
}
