#include "app/MainFrame.h"

#include "app/AppResources.h"
#include "app/CommandExec.h"
#include "app/CommandOpenUrl.h"
#include "app/CommandStartup.h"
#include "app/CommandTable.h"
#include "app/Setting.h"
#include "ui/AboutDlg.h"
#include "ui/Msg.h"

fhw::CMainFrame* g_mainFrame = nullptr;

namespace fhw {

CMainFrame::CMainFrame() { g_mainFrame = this; }

CMainFrame::~CMainFrame()
{
    if (g_mainFrame == this) g_mainFrame = nullptr;
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg)
{
    if (m_hAccel && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg)) return TRUE;
    return m_view && m_view->m_hWnd ? m_view->PreTranslateMessage(msg) : FALSE;
}

BOOL CMainFrame::OnIdle() { return FALSE; }

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    m_view.reset(new CMainView);
    if (m_view->Create(m_hWnd)) {
        m_hWndClient = m_view->m_hWnd;
        g_msg.m_hWndOwner = m_view->m_hWnd;
    }
    WatchDrives(m_hWnd);
    m_trayIcon.reset(new CShellNotifyIcon);
    {
        std::lock_guard guard(_Module.Lock());
        if (WTL::CMessageLoop* loop = _Module.GetMessageLoop()) {
            loop->AddMessageFilter(this);
            loop->AddIdleHandler(this);
        }
    }
    // The client area is exactly the form as it was created.
    if (m_hWndClient) {
        RECT window{}, client{};
        GetWindowRect(&window);
        GetClientRect(&client);
        const SIZE form = m_view->GetInitialSize();
        SetWindowPos(nullptr, 0, 0, form.cx + (window.right - window.left) - client.right,
                     form.cy + (window.bottom - window.top) - client.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    RunCommand(CCommandTable::Init);
    m_timerId = SetTimer(kTimerId, kTimerInterval);
    return 0;
}

LRESULT CMainFrame::OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled)
{
    {
        std::lock_guard guard(_Module.Lock());
        if (WTL::CMessageLoop* loop = _Module.GetMessageLoop()) {
            loop->RemoveMessageFilter(this);
            loop->RemoveIdleHandler(this);
        }
    }
    StopTimer();
    RunCommand(CCommandTable::Quit);
    bHandled = FALSE; // the frame's own map ends the message loop
    return 0;
}

LRESULT CMainFrame::OnEndSession(UINT, WPARAM wParam, LPARAM, BOOL&)
{
    if (!wParam) return 0;
    StopTimer();
    RunCommand(CCommandTable::Quit);
    return 0;
}

// Closing only hides the window (after the form applied) and says that the program goes on.
LRESULT CMainFrame::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if ((wParam & 0xFFF0) != SC_CLOSE) {
        bHandled = FALSE;
        return 0;
    }
    if (ApplyForm()) {
        ShowWindow(SW_HIDE);
        ShowStartBalloon();
    }
    return 0;
}

// The frame can be widened but not made narrower than the form, nor taller or shorter.
LRESULT CMainFrame::OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    if (!m_view || !m_view->m_hWnd) {
        bHandled = FALSE;
        return 0;
    }
    auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
    RECT window{}, client{};
    GetWindowRect(&window);
    GetClientRect(&client);
    const SIZE form = m_view->GetInitialSize();
    const LONG height = form.cy + (window.bottom - window.top) - client.bottom;
    info->ptMinTrackSize.x = form.cx + (window.right - window.left) - client.right;
    info->ptMinTrackSize.y = height;
    info->ptMaxTrackSize.y = height;
    return 0;
}

LRESULT CMainFrame::OnAbout(WORD, WORD, HWND, BOOL&)
{
    CAboutDlg about;
    about.DoModal(::GetActiveWindow());
    return 0;
}

LRESULT CMainFrame::OnOpenPage(WORD, WORD id, HWND, BOOL&)
{
    if (!g_commands) return 0;
    if (auto open = boost::dynamic_pointer_cast<CCommandOpenUrl>(g_commands->Get(CCommandTable::OpenUrl))) {
        open->m_id = id == ID_OPEN_HOMEPAGE ? IDS_HOMEPAGE_URL : IDS_USAGE_URL;
        open->Execute(true, false);
    }
    return 0;
}

LRESULT CMainFrame::OnInitMenuPopup(UINT, WPARAM, LPARAM lParam, BOOL& bHandled)
{
    if (LOWORD(lParam) == 1 && !HIWORD(lParam)) UISetCheck(ID_REGIST_STARTUP, CCommandRegistStartup::IsRegistered());
    bHandled = FALSE; // the update UI applies the check
    return 0;
}

LRESULT CMainFrame::OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if (wParam != kTimerId) {
        bHandled = FALSE;
        return 0;
    }
    const DWORD now = ::GetTickCount();
    // Drives that come while a run waits in one of its dialogs stay pending until it has ended; a
    // notice of a card a run took up may come after that run.
    if (m_armed && m_pendingArrivals.Mask() && m_eventIdle.IsElapsed(now) && !IsRunInProgress()) {
        m_pendingArrivals.DropTakenUp();
        if (m_pendingArrivals.Mask()) RunExec(m_pendingArrivals.Mask(), false, false);
    }
    if (m_driveMonitor && m_pollIdle.IsElapsed(now)) {
        m_driveMonitor->PollMedia();
        m_pollIdle.m_last = now;
    }
    return 0;
}

LRESULT CMainFrame::OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (!m_driveMonitor) return TRUE;
    return m_driveMonitor->OnDeviceChange(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
}

LRESULT CMainFrame::OnTrayNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (!m_trayIcon || wParam != m_trayIcon->GetId()) return 0;
    switch (LOWORD(lParam)) {
    case WM_LBUTTONDOWN: ShowSettingsOrActivate(); break;
    case WM_RBUTTONDOWN:
        if (BringForward()) RunCommand(CCommandTable::SubMenu);
        break;
    default: break;
    }
    return 0;
}

// The shell restarted and has forgotten the icon; without it no menu opens and every balloon is lost.
LRESULT CMainFrame::OnTaskbarCreated(UINT message, WPARAM, LPARAM, BOOL& bHandled)
{
    if (!message) { // the registration failed: this is WM_NULL
        bHandled = FALSE;
        return 0;
    }
    if (m_trayIcon) m_trayIcon->AddAgain();
    return 0;
}

LRESULT CMainFrame::OnAnotherInstance(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowSettingsOrActivate();
    return 0;
}

LRESULT CMainFrame::OnSettings(WORD, WORD, HWND, BOOL&)
{
    ShowSettings();
    return 0;
}

void CMainFrame::ShowSettings()
{
    m_armed = false;
    ShowWindow(SW_SHOW);
    BringForward();
}

LRESULT CMainFrame::OnRegistStartup(WORD, WORD, HWND, BOOL&)
{
    RunCommand(CCommandTable::RegistStartup);
    return 0;
}

LRESULT CMainFrame::OnStart(WORD, WORD, HWND, BOOL&)
{
    if (StartArmed()) ShowStartBalloon();
    return 0;
}

// Start and "/start": a start that fails would leave the program in the tray, unarmed, looking as
// if it worked; the form comes up instead, so that the user sees it and can correct the value.
bool CMainFrame::StartArmed()
{
    if (!ApplyForm()) return false;
    ShowWindow(SW_HIDE);
    RunExec(0xFFFFFFFF, true, false);
    if (m_armed) return true;
    // The run refused a setting the form passed (it changed meanwhile) and has said why.
    ShowSettings();
    return false;
}

LRESULT CMainFrame::OnRun(WORD, WORD, HWND, BOOL&)
{
    if (ApplyForm()) RunExec(0xFFFFFFFF, false, true);
    return 0;
}

LRESULT CMainFrame::OnExit(WORD, WORD, HWND, BOOL&)
{
    PostMessage(WM_CLOSE);
    return 0;
}

void CMainFrame::OnPlacementDone()
{
    if (m_cmdLine.m_start) {
        StartArmed();
        return;
    }
    FullScreen::OnPlacementDone();
}

void CMainFrame::ApplySettings()
{
    ApplyBounds(g_setting->MainFrame, 0, 0, false);
    if (m_view && m_view->m_hWnd) m_view->LoadFromSetting();
}

void CMainFrame::RecordWindowState()
{
    if (!g_setting) return;
    g_setting->MainFrame.Maximized = IsZoomed() != FALSE;
    g_setting->MainFrame.FullScreen = m_isFullScreen;
    g_setting->MainFrame.NormalBounds = m_normalBounds;
}

void CMainFrame::ShowSettingsOrActivate()
{
    if (!IsWindowVisible() && StartupFinished())
        PostMessage(WM_COMMAND, ID_SETTINGS);
    else
        BringForward();
}

void CMainFrame::ShowBalloon(const std::wstring& title, const std::wstring& text, CShellNotifyIcon::Balloon kind)
{
    // Tells a debugger what the balloon says (end-to-end tests read it); the user sees the balloon.
    ::OutputDebugStringW((L"fernhollow-balloon\t" + title + L"\t" + text).c_str());
    if (m_trayIcon) m_trayIcon->ShowBalloon(title, text, NIIF_INFO, 5000, kind);
}

void CMainFrame::WatchDrives(HWND window)
{
    m_driveMonitor.reset(new CDriveMonitor);
    m_driveMonitor->m_hWnd = window;
    auto arrived = boost::shared_ptr<CEventListener>(
        new CMemfunEventListener<CMainFrame>(this, &CMainFrame::OnDriveArrived));
    auto removed = boost::shared_ptr<CEventListener>(
        new CMemfunEventListener<CMainFrame>(this, &CMainFrame::OnDriveRemoved));
    m_driveMonitor->m_arrivedListeners.push_back(arrived);
    m_driveMonitor->m_mediaArrivedListeners.push_back(arrived);
    m_driveMonitor->m_removedListeners.push_back(removed);
    m_driveMonitor->m_mediaRemovedListeners.push_back(removed);
    // Also the notices the monitor finds stale: a card pulled and put back while this thread was
    // busy is a new card, though its letter stands again when the notice is handled.
    m_driveMonitor->m_removalNoticeListeners.push_back(removed);
}

void CMainFrame::OnDriveArrived(void*, void* record)
{
    if (!m_armed || !record) return;
    m_pendingArrivals.Arrived(static_cast<CDriveMonitorInfo*>(record)->m_driveMask);
    m_eventIdle.m_last = ::GetTickCount();
}

void CMainFrame::OnDriveRemoved(void*, void* record)
{
    if (!record) return;
    // Also while not armed: a card a run took up and that went is a new card when it comes back.
    m_pendingArrivals.Removed(static_cast<CDriveMonitorInfo*>(record)->m_driveMask, NextDriveEventStamp());
    if (m_armed) m_eventIdle.m_last = ::GetTickCount();
}

void CMainFrame::DropRunDrives(DWORD driveMask) { m_pendingArrivals.Drop(driveMask); }

OwedRuns CMainFrame::TakePendingDrives(bool arm)
{
    if (arm) m_armed = true;
    return m_pendingArrivals.TakeAll();
}

bool CMainFrame::IsRunInProgress() const
{
    auto exec = g_commands ? boost::dynamic_pointer_cast<CCommandExec>(g_commands->Get(CCommandTable::Exec)) : nullptr;
    return exec && exec->IsRunning();
}

void CMainFrame::StopTimer()
{
    if (!m_timerId) return;
    KillTimer(m_timerId);
    m_timerId = 0;
    MSG pending;
    while (::PeekMessageW(&pending, m_hWnd, WM_TIMER, WM_TIMER, PM_REMOVE)) {}
}

bool CMainFrame::ApplyForm()
{
    // The faulty box is focused under the error: a hidden form (Run from the tray, "/start") is shown first.
    return !m_view || !m_view->m_hWnd || m_view->Apply([this] {
        if (!IsWindowVisible()) ShowSettings();
    });
}

void CMainFrame::RunExec(DWORD driveMask, bool arm, bool reportIfNone)
{
    if (!g_commands) return;
    auto exec = boost::dynamic_pointer_cast<CCommandExec>(g_commands->Get(CCommandTable::Exec));
    if (!exec) return;
    exec->m_driveMask = driveMask;
    exec->m_arm = arm;
    exec->m_reportIfNone = reportIfNone;
    exec->Execute(true, false);
    // Refused inside another run's dialog: that run catches up when it ends.
    if (IsRunInProgress()) return;
    TakeBackRun(exec->TakenUp());
}

void CMainFrame::TakeBackRun(const TakenUpVolumes& takenUp)
{
    // Unarmed, no run follows: a card that came back with more keeps it until a run the user starts.
    m_pendingArrivals.RunEnded(takenUp, m_armed);
    // An arrival told while the run waited in a dialog, of a card it took up itself.
    m_pendingArrivals.DropTakenUp();
    // A card that came while the run kept this thread busy may have gone unannounced.
    if (m_driveMonitor) m_driveMonitor->AttachMissedArrivals(m_pendingArrivals.TakenUp());
}

void CMainFrame::ShowStartBalloon()
{
    ShowBalloon(g_appResources->m_startTitle.m_text, g_appResources->m_startText.m_text,
                CShellNotifyIcon::Balloon::Alone);
}

bool CMainFrame::BringForward()
{
    HWND popup = GetWindow(GW_ENABLEDPOPUP);
    ::SetForegroundWindow(popup ? popup : m_hWnd);
    return popup == nullptr;
}

bool CMainFrame::StartupFinished() const
{
    auto quit = g_commands ? boost::dynamic_pointer_cast<CCommandQuit>(g_commands->Get(CCommandTable::Quit)) : nullptr;
    return quit && !quit->m_noSave;
}

void CMainFrame::RunCommand(int slot)
{
    if (!g_commands) return;
    if (const auto& command = g_commands->Get(static_cast<CCommandTable::Slot>(slot))) command->Execute(true, false);
}

} // namespace fhw
