#include "shell/ShellNotifyIcon.h"

#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <vector>

namespace {

constexpr UINT kId = 7;

void DispatchWaiting()
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// Calls the real shell (unless told not to) and records every call; the next call of
// `failMessage` then answers with `failError`, as a busy shell does.
class CRecordingIcon : public CShellNotifyIcon {
public:
    std::vector<std::pair<DWORD, NOTIFYICONDATAW>> calls;
    std::vector<BOOL> results; // of each call, as the icon saw it
    DWORD failMessage = static_cast<DWORD>(-1);
    DWORD failError = 0;
    bool reachShell = true;
    int waits = 0;
    int inCall = 0;                     // calls to the shell under way
    bool dispatchInBalloonCall = false; // the next balloon call handles the thread's waiting notices

protected:
    BOOL Notify(DWORD message, NOTIFYICONDATAW* data) override
    {
        const size_t call = calls.size();
        calls.emplace_back(message, *data);
        results.push_back(FALSE);
        ++inCall;
        const BOOL result = reachShell ? CShellNotifyIcon::Notify(message, data) : TRUE;
        if (dispatchInBalloonCall && message == NIM_MODIFY && (data->uFlags & NIF_INFO) && inCall == 1) {
            // As Wine's call does while it waits on the tray: the thread's waiting notices are handled.
            dispatchInBalloonCall = false;
            DispatchWaiting();
        }
        --inCall;
        if (message != failMessage) return results[call] = result;
        failMessage = static_cast<DWORD>(-1);
        ::SetLastError(failError);
        return FALSE;
    }
    void WaitBeforeRetry() override { ++waits; }
};

// Balloons the shell took: NIM_MODIFY calls with NIF_INFO that succeeded.
size_t BalloonsTaken(const CRecordingIcon& icon)
{
    size_t taken = 0;
    for (size_t i = 0; i < icon.calls.size(); ++i) {
        const bool balloon = icon.calls[i].first == NIM_MODIFY && (icon.calls[i].second.uFlags & NIF_INFO);
        taken += balloon && icon.results[i] ? 1 : 0;
    }
    return taken;
}

// A top-level window that adds the icon again on "TaskbarCreated", as the program's frame does,
// and notes whether that came inside a call of the icon to the shell.
class CTaskbarWindow : public ATL::CWindowImpl<CTaskbarWindow, ATL::CWindow,
                                               ATL::CWinTraits<WS_OVERLAPPED | WS_CAPTION, WS_EX_TOOLWINDOW>> {
public:
    CTaskbarWindow() { Create(nullptr, ATL::CWindow::rcDefault, L"fh taskbar test"); }
    ~CTaskbarWindow()
    {
        if (m_hWnd) DestroyWindow();
    }

    BEGIN_MSG_MAP(CTaskbarWindow)
        MESSAGE_HANDLER(CShellNotifyIcon::TaskbarCreatedMessage(), OnTaskbarCreated)
    END_MSG_MAP()

    LRESULT OnTaskbarCreated(UINT, WPARAM, LPARAM, BOOL&)
    {
        if (m_icon) {
            m_handledInCall = m_handledInCall || m_icon->inCall > 0;
            m_icon->AddAgain();
        }
        ++m_handled;
        return 0;
    }

    CRecordingIcon* m_icon = nullptr;
    int m_handled = 0;
    bool m_handledInCall = false;
};

// The shell forgets the icon of `window`, as a restarted shell does; false when it kept it.
bool ForgetIcon(HWND window)
{
    NOTIFYICONDATAW outside = {sizeof(outside), window, kId};
    return ::Shell_NotifyIconW(NIM_DELETE, &outside) != FALSE;
}

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
    // The icon added, then forgotten by the shell as a restarted one forgets it: the balloon asked
    // for then is refused, and owed.
    void OweBalloon(CRecordingIcon& icon)
    {
        ASSERT_TRUE(Add(icon));
        ASSERT_TRUE(ForgetIcon(m_window));
        EXPECT_FALSE(icon.ShowBalloon(L"Title", L"the result", NIIF_INFO, 5000)) << "a forgotten icon took a balloon";
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
    ASSERT_NO_FATAL_FAILURE(OweBalloon(icon));
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

// A restarted shell's "TaskbarCreated" that waited while the thread was busy is handled inside the
// thread's next call to the shell (Wine dispatches while the call waits on the tray; the test's
// shell has no restart to wait on, so the icon dispatches there itself): the icon added again
// there shows the balloon that call brings, once, and no later restart shows it again.
TEST_F(ShellNotifyIconTest, TheIconAddedAgainDuringTheBalloonCallShowsItOnce)
{
    CRecordingIcon icon;
    CTaskbarWindow window;
    window.m_icon = &icon;
    ASSERT_TRUE(icon.Add(window, kId, WM_APP, ::LoadIconW(nullptr, IDI_APPLICATION), L"Fernhollow"));
    ASSERT_TRUE(ForgetIcon(window)) << "the shell kept the icon";
    ASSERT_TRUE(::PostMessageW(window, CShellNotifyIcon::TaskbarCreatedMessage(), 0, 0));
    const int before = VisibleTooltips();
    const size_t calls = icon.calls.size();
    icon.dispatchInBalloonCall = true;
    icon.ShowBalloon(L"Title", L"the result", NIIF_INFO, 5000);
    ASSERT_EQ(window.m_handled, 1);
    EXPECT_TRUE(window.m_handledInCall);
    ASSERT_GT(icon.calls.size(), calls + 1);
    EXPECT_FALSE(icon.results[calls]) << "the shell took a balloon for an icon it forgot";
    EXPECT_EQ(icon.calls[calls + 1].first, static_cast<DWORD>(NIM_ADD)) << "not added again during the call";
    EXPECT_EQ(BalloonsTaken(icon), 1u) << "the balloon was not shown once";
    for (int i = 0; i < 50 && VisibleTooltips() == before; ++i) ::Sleep(100);
    EXPECT_GT(VisibleTooltips(), before) << "the shell shows no balloon";

    // The next restart brings the icon back without the balloon.
    ASSERT_TRUE(ForgetIcon(window)) << "the shell kept the icon";
    ASSERT_TRUE(::PostMessageW(window, CShellNotifyIcon::TaskbarCreatedMessage(), 0, 0));
    DispatchWaiting();
    EXPECT_EQ(window.m_handled, 2);
    EXPECT_TRUE(icon.IsAdded());
    EXPECT_FALSE(icon.calls.back().second.uFlags & NIF_INFO) << "the balloon came again at a later restart";
    EXPECT_EQ(BalloonsTaken(icon), 1u) << "the balloon came again at a later restart";
    EXPECT_TRUE(icon.Delete());
}

// Delete drops the balloon owed to an icon the shell forgot, also when the shell refuses to delete
// what it no longer has: a later add brings the icon back without it.
TEST_F(ShellNotifyIconTest, DeleteDropsAnOwedBalloon)
{
    CRecordingIcon icon;
    ASSERT_NO_FATAL_FAILURE(OweBalloon(icon));
    icon.Delete();
    ASSERT_TRUE(Add(icon));
    ASSERT_TRUE(icon.AddAgain());
    EXPECT_FALSE(icon.calls.back().second.uFlags & NIF_INFO) << "a balloon owed before Delete was shown";
    EXPECT_EQ(BalloonsTaken(icon), 0u);
    EXPECT_TRUE(icon.Delete());
}

} // namespace

namespace {

// The start-at-login road: the program runs before the shell's notification area exists, so the
// first add fails; the area's "TaskbarCreated" then adds the icon with the balloon owed meanwhile.
TEST_F(ShellNotifyIconTest, AnIconWhoseFirstAddFailedComesWithTheTaskbar)
{
    CRecordingIcon icon;
    CTaskbarWindow window;
    window.m_icon = &icon;
    icon.reachShell = false;
    icon.failMessage = NIM_ADD;
    icon.failError = ERROR_FILE_NOT_FOUND;
    EXPECT_FALSE(icon.Add(window, kId, WM_APP, ::LoadIconW(nullptr, IDI_APPLICATION), L"Fernhollow"));
    icon.reachShell = true;
    EXPECT_FALSE(icon.IsAdded());
    EXPECT_FALSE(icon.ShowBalloon(L"Title", L"the result", NIIF_INFO, 5000)) << "a balloon without an icon";

    ASSERT_TRUE(::PostMessageW(window, CShellNotifyIcon::TaskbarCreatedMessage(), 0, 0));
    DispatchWaiting();
    ASSERT_EQ(window.m_handled, 1);
    EXPECT_TRUE(icon.IsAdded()) << "the taskbar came and the icon did not";
    EXPECT_EQ(BalloonsTaken(icon), 1u) << "the balloon owed meanwhile";
    EXPECT_STREQ(icon.calls.back().second.szInfo, L"the result");
    EXPECT_TRUE(icon.Delete());
}

// A result that comes while the one before is still owed, or still stands within its time, is
// joined with it: one balloon, a line each, under the first one's title, whole lines within the
// field. While a question of the program is open the one before stands: its time starts when the
// last question closes. One that stands alone (the program's start) replaces the one before and is
// replaced by the next.
TEST_F(ShellNotifyIconTest, AResultJoinsTheOneBeforeWhileThatIsOwedOrStands)
{
    using enum CShellNotifyIcon::Balloon;
    const struct {
        const wchar_t* text; // also its title
        UINT timeoutMs;
        CShellNotifyIcon::Balloon kind;
        int asksBefore; // questions that open (more than 0) or close (less) before the wait
        DWORD waitBefore;
        int asksAfter;        // and after it
        const wchar_t* shown; // title and text; null: refused, the icon forgotten
    } rows[] = {
        {L"R", 5000, Joined, 0, 0, 0, L"R|R"},
        {L"S", 300, Joined, 0, 0, 0, L"R|R\nS"},
        {L"T", 5000, Joined, 0, 600, 0, L"T|T"}, // past the one before's time
        {L"a", 300, Joined, 0, 0, 0, L"T|T\na"},
        {L"b", 300, Joined, 1, 600, -1, L"T|T\na\nb"},       // its time passed while a question was read
        {L"c", 300, Joined, 2, 600, -1, L"T|T\na\nb\nc"},    // one of two questions closed
        {L"d", 300, Joined, 0, 600, -1, L"T|T\na\nb\nc\nd"}, // the other one closed after the time
        {L"e", 300, Joined, 0, 600, 0, L"e|e"},              // its time passed after the last closed
        {L"f", 300, Joined, 0, 600, 1, L"f|f"},              // a question opened after the time
        {L"g", 300, Joined, 0, 600, -1, L"f|f\ng"},
        {L"start", 5000, Alone, 0, 0, 0, L"start|start"},
        {L"U", 5000, Joined, 0, 0, 0, L"U|U"},
        {L"V", 5000, Joined, 0, 0, 0, nullptr},
        {L"W", 5000, Joined, 0, 0, 0, nullptr},
    };
    CRecordingIcon icon;
    ASSERT_TRUE(Add(icon));
    const auto shown = [&icon] {
        const NOTIFYICONDATAW& data = icon.calls.back().second;
        return std::wstring(data.szInfoTitle) + L"|" + data.szInfo;
    };
    const auto ask = [&icon](int questions) {
        for (; questions > 0; --questions) icon.QuestionOpened();
        for (; questions < 0; ++questions) icon.QuestionClosed();
    };
    bool forgotten = false;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.text);
        ask(row.asksBefore);
        ::Sleep(row.waitBefore);
        ask(row.asksAfter);
        if (!row.shown && !forgotten) {
            ASSERT_TRUE(ForgetIcon(m_window));
            forgotten = true;
        }
        EXPECT_EQ(icon.ShowBalloon(row.text, row.text, NIIF_INFO, row.timeoutMs, row.kind), row.shown != nullptr);
        if (row.shown) {
            EXPECT_EQ(shown(), row.shown);
        }
    }
    ASSERT_TRUE(icon.AddAgain());
    EXPECT_EQ(shown(), L"U|U\nV\nW") << "the results owed meanwhile, after the one that stood";
    // The field holds 255 characters: the oldest lines give way, whole.
    const std::wstring line(100, L'x');
    for (const wchar_t* end : {L"1", L"2", L"3"}) ASSERT_TRUE(icon.ShowBalloon(L"X", line + end, NIIF_INFO, 5000));
    EXPECT_EQ(shown(), L"U|" + line + L"2\n" + line + L"3");
    // Told, once the caller gives the words, and the line that tells takes its room too.
    icon.SetGivenWayFormat(L"({0} more)");
    ASSERT_TRUE(icon.ShowBalloon(L"X", line + L"4", NIIF_INFO, 5000));
    EXPECT_EQ(shown(), L"U|(5 more)\n" + line + L"3\n" + line + L"4");
    const std::wstring longer(150, L'y');
    ASSERT_TRUE(icon.ShowBalloon(L"X", longer, NIIF_INFO, 5000));
    EXPECT_EQ(shown(), L"U|(7 more)\n" + longer);
    EXPECT_TRUE(icon.Delete());
}

} // namespace
