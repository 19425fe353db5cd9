#include "shell/ShellNotifyIcon.h"

#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

constexpr UINT kId = 7;

// Calls the real shell (unless told not to) and records every call; the next call of
// `failMessage` then answers with `failError`, as a busy shell does.
class CRecordingIcon : public CShellNotifyIcon {
public:
    std::vector<std::pair<DWORD, NOTIFYICONDATAW>> calls;
    DWORD failMessage = static_cast<DWORD>(-1);
    DWORD failError = 0;
    bool reachShell = true;
    int waits = 0;

protected:
    BOOL Notify(DWORD message, NOTIFYICONDATAW* data) override
    {
        calls.emplace_back(message, *data);
        const BOOL result = reachShell ? CShellNotifyIcon::Notify(message, data) : TRUE;
        if (message != failMessage) return result;
        failMessage = static_cast<DWORD>(-1);
        ::SetLastError(failError);
        return FALSE;
    }
    void WaitBeforeRetry() override { ++waits; }
};

int VisibleTooltips()
{
    int count = 0;
    for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
        count += ::IsWindowVisible(tip) ? 1 : 0;
    return count;
}

class ShellNotifyIconTest : public testing::Test {
protected:
    void TearDown() override
    {
        // Nothing left in the tray: deleting our id again must fail.
        NOTIFYICONDATAW data = {sizeof(data), m_window, kId};
        EXPECT_FALSE(::Shell_NotifyIconW(NIM_DELETE, &data)) << "icon left behind";
    }
    bool Add(CRecordingIcon& icon, const wchar_t* tip = L"Fernhollow")
    {
        return icon.Add(m_window, kId, WM_APP, ::LoadIconW(nullptr, IDI_APPLICATION), tip);
    }

    CDeviceWindow m_window;
};

TEST_F(ShellNotifyIconTest, AddBalloonDeleteWithTextsCutToTheirFields)
{
    CRecordingIcon icon;
    const std::wstring tip(300, L'a'), title(300, L'開'), text(600, L'c');
    ASSERT_TRUE(Add(icon, tip.c_str()));
    EXPECT_EQ(icon.calls.at(0).second.cbSize, sizeof(NOTIFYICONDATAW));

    const int before = VisibleTooltips();
    EXPECT_TRUE(icon.ShowBalloon(title, text, NIIF_INFO, 5000));
    const NOTIFYICONDATAW& balloon = icon.calls.back().second;
    EXPECT_EQ(std::wstring(balloon.szTip), tip.substr(0, 127));
    EXPECT_EQ(std::wstring(balloon.szInfoTitle), title.substr(0, 63));
    EXPECT_EQ(std::wstring(balloon.szInfo), text.substr(0, 255));
    // The shell shows it a little later, as a tooltip window of its own.
    for (int i = 0; i < 50 && VisibleTooltips() == before; ++i) ::Sleep(100);
    EXPECT_GT(VisibleTooltips(), before);

    EXPECT_TRUE(icon.Delete());
    EXPECT_FALSE(icon.ShowBalloon(L"after", L"delete", NIIF_INFO, 1000));
}

TEST_F(ShellNotifyIconTest, ATimeOutIsRetriedOnlyUntilTheShellDidIt)
{
    CRecordingIcon icon;
    icon.failMessage = NIM_ADD;
    icon.failError = ERROR_TIMEOUT;
    ASSERT_TRUE(Add(icon));
    // The icon did arrive: it is modified, not added twice (the fixture finds none left).
    ASSERT_EQ(icon.calls.size(), 2u);
    EXPECT_EQ(icon.calls[1].first, static_cast<DWORD>(NIM_MODIFY));

    icon.failMessage = NIM_DELETE;
    EXPECT_TRUE(icon.Delete());
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_EQ(icon.calls.back().first, static_cast<DWORD>(NIM_MODIFY)); // it was gone already
    EXPECT_EQ(icon.waits, 2);

    // Other errors end at once.
    icon.reachShell = false;
    icon.failMessage = NIM_ADD;
    icon.failError = ERROR_ACCESS_DENIED;
    EXPECT_FALSE(Add(icon));
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_EQ(icon.waits, 2);
    ASSERT_TRUE(Add(icon, nullptr));
    EXPECT_STREQ(icon.calls.back().second.szTip, L"");
}

// Only an icon that was added comes back, also while it is still there (the end-to-end tests bring
// back one that the shell forgot).
TEST_F(ShellNotifyIconTest, AddAgainRestoresOnlyTheIconThatWasAdded)
{
    CRecordingIcon icon;
    EXPECT_FALSE(icon.AddAgain());
    ASSERT_TRUE(Add(icon));
    EXPECT_TRUE(icon.AddAgain()) << "still there";
    EXPECT_TRUE(icon.Delete());
    const size_t calls = icon.calls.size();
    EXPECT_FALSE(icon.AddAgain());
    EXPECT_EQ(calls, icon.calls.size()) << "a deleted icon comes back";
}

// A balloon refused while the shell has forgotten the icon is shown once the icon is back, once;
// one refused after Delete is not owed.
TEST_F(ShellNotifyIconTest, ABalloonRefusedWhileTheIconIsGoneIsShownWhenItComesBack)
{
    CRecordingIcon icon;
    ASSERT_TRUE(Add(icon));
    NOTIFYICONDATAW outside = {sizeof(outside), m_window, kId};
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &outside)) << "the shell kept the icon";
    EXPECT_FALSE(icon.ShowBalloon(L"Title", L"the result", NIIF_INFO, 5000)) << "a forgotten icon took a balloon";
    const int before = VisibleTooltips();
    ASSERT_TRUE(icon.AddAgain());
    const NOTIFYICONDATAW& balloon = icon.calls.back().second;
    EXPECT_EQ(icon.calls.back().first, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_TRUE(balloon.uFlags & NIF_INFO);
    EXPECT_STREQ(balloon.szInfo, L"the result");
    EXPECT_STREQ(balloon.szInfoTitle, L"Title");
    for (int i = 0; i < 50 && VisibleTooltips() == before; ++i) ::Sleep(100);
    EXPECT_GT(VisibleTooltips(), before) << "the shell shows no balloon";

    ASSERT_TRUE(icon.AddAgain()) << "still there";
    EXPECT_FALSE(icon.calls.back().second.uFlags & NIF_INFO) << "the balloon came twice";
    ASSERT_TRUE(icon.Delete());
    EXPECT_FALSE(icon.ShowBalloon(L"after", L"delete", NIIF_INFO, 1000));
    ASSERT_TRUE(Add(icon));
    ASSERT_TRUE(icon.AddAgain());
    EXPECT_FALSE(icon.calls.back().second.uFlags & NIF_INFO) << "a balloon refused after Delete was owed";
    EXPECT_TRUE(icon.Delete());
}

} // namespace
