#include "DriveTestSupport.h"

#include "shell/ShellNotifyIcon.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace {

using namespace drivetest;

constexpr UINT kCallback = WM_APP + 1;

// Calls the real shell, but can make chosen calls answer with an error afterwards, as a busy
// shell does, and records every call.
class CRecordingIcon : public CShellNotifyIcon {
public:
    struct Call {
        DWORD message;
        NOTIFYICONDATAW data;
        BOOL result;
    };
    std::vector<Call> calls;
    std::vector<std::pair<DWORD, DWORD>> failAfter; // (message, error), used once each, in order
    bool reachShell = true;
    int waits = 0;

protected:
    BOOL Notify(DWORD message, NOTIFYICONDATAW* data) override
    {
        BOOL result = reachShell ? CShellNotifyIcon::Notify(message, data) : TRUE;
        DWORD error = ::GetLastError();
        if (!failAfter.empty() && failAfter.front().first == message) {
            error = failAfter.front().second;
            failAfter.erase(failAfter.begin());
            result = FALSE;
        }
        calls.push_back({message, *data, result});
        ::SetLastError(error);
        return result;
    }
    void WaitBeforeRetry() override { ++waits; }
};

BOOL CALLBACK CollectVisibleTooltip(HWND hWnd, LPARAM param)
{
    wchar_t name[64] = {};
    ::GetClassNameW(hWnd, name, 64);
    if (::IsWindowVisible(hWnd) && _wcsicmp(name, TOOLTIPS_CLASSW) == 0)
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(hWnd);
    return TRUE;
}

std::vector<HWND> VisibleTooltips()
{
    std::vector<HWND> windows;
    ::EnumWindows(CollectVisibleTooltip, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

class ShellNotifyIconTest : public testing::Test {
protected:
    void TearDown() override
    {
        // Nothing left in the tray: deleting our id again must fail.
        NOTIFYICONDATAW data = {};
        data.cbSize = sizeof(data);
        data.hWnd = m_window;
        data.uID = 7;
        EXPECT_FALSE(::Shell_NotifyIconW(NIM_DELETE, &data)) << "icon left behind";
    }
    HICON Icon() const { return ::LoadIconW(nullptr, IDI_APPLICATION); }

    CDeviceWindow m_window;
};

TEST_F(ShellNotifyIconTest, StructureIsTheFullOne)
{
    EXPECT_EQ(sizeof(NOTIFYICONDATAW), 976u);
}

TEST_F(ShellNotifyIconTest, AddBalloonDelete)
{
    CRecordingIcon icon;
    ASSERT_TRUE(icon.Add(m_window, 7, kCallback, Icon(), L"Fernhollow"));
    EXPECT_TRUE(icon.IsAdded());
    EXPECT_EQ(icon.GetId(), 7u);
    ASSERT_EQ(icon.calls.size(), 1u);
    const auto& added = icon.calls[0].data;
    EXPECT_EQ(icon.calls[0].message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(added.cbSize, sizeof(NOTIFYICONDATAW));
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(added.uCallbackMessage, kCallback);
    EXPECT_STREQ(added.szTip, L"Fernhollow");

    const std::vector<HWND> before = VisibleTooltips();
    EXPECT_TRUE(icon.ShowBalloon(L"開始", L"Fernhollowを開始しました", NIIF_INFO, 5000));
    const auto& balloon = icon.calls.back();
    EXPECT_EQ(balloon.message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_EQ(balloon.data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(balloon.data.uTimeout, 5000u);
    EXPECT_EQ(balloon.data.dwInfoFlags, static_cast<DWORD>(NIIF_INFO));
    EXPECT_STREQ(balloon.data.szInfoTitle, L"開始");
    EXPECT_STREQ(balloon.data.szInfo, L"Fernhollowを開始しました");
    EXPECT_STREQ(balloon.data.szTip, L"Fernhollow");
    // The shell shows it a little later, as a tooltip window of its own.
    bool shown = false;
    for (int i = 0; i < 50 && !shown; ++i) {
        PumpMessages(100);
        for (HWND tip : VisibleTooltips()) shown = shown || std::find(before.begin(), before.end(), tip) == before.end();
    }
    EXPECT_TRUE(shown);

    // The balloon left the stored data alone: the next one starts from it again.
    EXPECT_TRUE(icon.ShowBalloon(L"t", L"", NIIF_NONE, 1000));
    EXPECT_EQ(icon.calls.back().data.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_STREQ(icon.calls.back().data.szInfo, L"");

    EXPECT_TRUE(icon.Delete());
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_FALSE(icon.ShowBalloon(L"after", L"delete", NIIF_INFO, 1000));
    const size_t count = icon.calls.size();
    EXPECT_TRUE(icon.Delete()); // twice: no shell call
    EXPECT_EQ(icon.calls.size(), count);
}

TEST_F(ShellNotifyIconTest, DeleteBeforeAddCallsNothing)
{
    CRecordingIcon icon;
    EXPECT_TRUE(icon.Delete());
    EXPECT_TRUE(icon.calls.empty());
}

TEST_F(ShellNotifyIconTest, TimedOutAddThatArrivedIsNotAddedTwice)
{
    CRecordingIcon icon;
    icon.failAfter = {{NIM_ADD, ERROR_TIMEOUT}};
    ASSERT_TRUE(icon.Add(m_window, 7, kCallback, Icon(), L"tip"));
    EXPECT_TRUE(icon.IsAdded());
    EXPECT_EQ(icon.waits, 1);
    ASSERT_EQ(icon.calls.size(), 2u);
    EXPECT_EQ(icon.calls[1].message, static_cast<DWORD>(NIM_MODIFY));
    // Exactly one icon: one delete removes it, a second finds nothing.
    EXPECT_TRUE(icon.Delete());
    NOTIFYICONDATAW data = icon.calls[0].data;
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_DELETE, &data));
}

TEST_F(ShellNotifyIconTest, OtherErrorsEndAddAndDelete)
{
    CRecordingIcon refused;
    refused.reachShell = false;
    refused.failAfter = {{NIM_ADD, ERROR_ACCESS_DENIED}};
    EXPECT_FALSE(refused.Add(m_window, 7, kCallback, Icon(), L"tip"));
    EXPECT_FALSE(refused.IsAdded());
    EXPECT_EQ(refused.waits, 0);

    CRecordingIcon icon;
    ASSERT_TRUE(icon.Add(m_window, 7, kCallback, Icon(), L"tip"));
    icon.reachShell = false;
    icon.failAfter = {{NIM_DELETE, ERROR_ACCESS_DENIED}};
    EXPECT_FALSE(icon.Delete());
    EXPECT_TRUE(icon.IsAdded());
    icon.reachShell = true;
    EXPECT_TRUE(icon.Delete());
}

TEST_F(ShellNotifyIconTest, TimedOutDeleteThatHappenedStops)
{
    CRecordingIcon icon;
    ASSERT_TRUE(icon.Add(m_window, 7, kCallback, Icon(), L"tip"));
    icon.failAfter = {{NIM_DELETE, ERROR_TIMEOUT}};
    EXPECT_TRUE(icon.Delete());
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_EQ(icon.waits, 1);
    EXPECT_EQ(icon.calls.back().message, static_cast<DWORD>(NIM_MODIFY));
    EXPECT_FALSE(icon.calls.back().result);
}

TEST_F(ShellNotifyIconTest, LongTextsAreCutToTheirFields)
{
    CRecordingIcon icon;
    icon.reachShell = false;
    const std::wstring tip(300, L'a'), title(300, L'b'), text(600, L'c');
    ASSERT_TRUE(icon.Add(m_window, 7, kCallback, Icon(), tip.c_str()));
    ASSERT_TRUE(icon.ShowBalloon(title, text, NIIF_INFO, 1000));
    const auto& data = icon.calls.back().data;
    EXPECT_EQ(std::wstring(data.szTip), tip.substr(0, 127));
    EXPECT_EQ(std::wstring(data.szInfoTitle), title.substr(0, 63));
    EXPECT_EQ(std::wstring(data.szInfo), text.substr(0, 255));
    EXPECT_TRUE(icon.Add(m_window, 7, kCallback, Icon(), nullptr));
    EXPECT_STREQ(icon.calls.back().data.szTip, L"");
}

} // namespace
