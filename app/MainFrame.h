#pragma once
// The program's one visible top-level window; mostly hidden, the program then lives in the tray.
// It gathers drive events into a pending mask while armed and runs the transfer once they have
// been quiet for 500 ms.
#include "app/CommandInit.h"
#include "app/FullScreenManager.h"
#include "app/MainView.h"
#include "app/PendingArrivals.h"
#include "resource.h"
#include "shell/DriveMonitor.h"
#include "shell/ShellNotifyIcon.h"
#include "ui/WindowW.h"

#include <AppModule.h>
#include <FrameWindow.h>
#include <MessageLoop.h>
#include <UpdateUI.h>

#include <boost/shared_ptr.hpp>

namespace fhw {

constexpr UINT WM_PLACEMENT_DONE = WM_APP;
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 1;
constexpr UINT WM_ANOTHER_INSTANCE = WM_APP + 2;
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kTimerInterval = 100;

// An elapsed-time test: now minus the last event is at least the period (modulo 2^32).
struct CIdle {
    explicit CIdle(DWORD period) : m_period(period) {}
    virtual ~CIdle() = default;
    virtual bool IsElapsed(DWORD now) const { return now - m_last >= m_period; }
    DWORD m_period;
    DWORD m_last = 0;
};

using CMainFrameTraits = ATL::CWinTraits<
    WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX, WS_EX_WINDOWEDGE>;

class CMainFrame : public WTL::CFrameWindowImpl<CMainFrame, CWindowW, CMainFrameTraits>,
                   public CFullScreenManager<CMainFrame, WM_PLACEMENT_DONE>,
                   public WTL::CUpdateUI<CMainFrame>,
                   public WTL::CMessageFilter,
                   public WTL::CIdleHandler {
public:
    using Base = WTL::CFrameWindowImpl<CMainFrame, CWindowW, CMainFrameTraits>;
    using FullScreen = CFullScreenManager<CMainFrame, WM_PLACEMENT_DONE>;
    DECLARE_FRAME_WND_CLASS(nullptr, IDR_MAINFRAME)

    CMainFrame();
    ~CMainFrame() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;
    void OnPlacementDone() override;

    void ApplySettings();
    void RecordWindowState();
    void ShowSettingsOrActivate();
    // Results come joined: one owed or still standing keeps its lines in the next balloon.
    void ShowBalloon(const std::wstring& title, const std::wstring& text,
                     CShellNotifyIcon::Balloon kind = CShellNotifyIcon::Balloon::Joined);

    // Makes the drive monitor, its notices sent to `window`, and listens to it.
    void WatchDrives(HWND window);
    void OnDriveArrived(void* sender, void* record);
    void OnDriveRemoved(void* sender, void* record);

    // A run that cannot start gives up its drives, so that the timer does not retry it on every tick.
    void DropRunDrives(DWORD driveMask);
    // A run that starts takes every pending drive, with the runs their cards owe, and arms the
    // automatic mode when asked.
    OwedRuns TakePendingDrives(bool arm);
    // What a run took up, handed back when it ended; then the cards it kept this thread from
    // hearing of are caught up.
    void TakeBackRun(const TakenUpVolumes& takenUp);
    // The drives that arrived and wait for a run.
    DWORD PendingDrives() const { return m_pendingArrivals.Mask(); }

    BEGIN_UPDATE_UI_MAP(CMainFrame)
        UPDATE_ELEMENT(ID_REGIST_STARTUP, WTL::UPDUI_MENUPOPUP)
    END_UPDATE_UI_MAP()

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_ENDSESSION, OnEndSession)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_GETMINMAXINFO, OnGetMinMaxInfo)
        MESSAGE_HANDLER(WM_INITMENUPOPUP, OnInitMenuPopup)
        MESSAGE_HANDLER(WM_TIMER, OnTimer)
        MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
        MESSAGE_HANDLER(WM_TRAY_NOTIFY, OnTrayNotify)
        MESSAGE_HANDLER(CShellNotifyIcon::TaskbarCreatedMessage(), OnTaskbarCreated)
        MESSAGE_HANDLER(WM_ANOTHER_INSTANCE, OnAnotherInstance)
        COMMAND_ID_HANDLER(ID_SETTINGS, OnSettings)
        COMMAND_ID_HANDLER(ID_REGIST_STARTUP, OnRegistStartup)
        COMMAND_ID_HANDLER(ID_APP_START, OnStart)
        COMMAND_ID_HANDLER(ID_APP_RUN, OnRun)
        COMMAND_ID_HANDLER(ID_APP_EXIT, OnExit)
        COMMAND_ID_HANDLER(ID_APP_ABOUT, OnAbout)
        COMMAND_ID_HANDLER(ID_OPEN_HOMEPAGE, OnOpenPage)
        COMMAND_ID_HANDLER(ID_OPEN_USAGE, OnOpenPage)
        CHAIN_MSG_MAP(FullScreen)
        CHAIN_MSG_MAP(WTL::CUpdateUI<CMainFrame>)
        CHAIN_MSG_MAP(Base)
    END_MSG_MAP()

    boost::shared_ptr<CMainView> m_view;
    CCommandLineParser m_cmdLine;
    boost::shared_ptr<CDriveMonitor> m_driveMonitor;
    boost::shared_ptr<CShellNotifyIcon> m_trayIcon;
    CIdle m_eventIdle{500};
    CIdle m_pollIdle{500};

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnEndSession(UINT, WPARAM wParam, LPARAM, BOOL&);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnGetMinMaxInfo(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnAbout(WORD, WORD, HWND, BOOL&);
    LRESULT OnOpenPage(WORD, WORD id, HWND, BOOL&);
    LRESULT OnInitMenuPopup(UINT, WPARAM, LPARAM lParam, BOOL& bHandled);
    LRESULT OnTimer(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnTrayNotify(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnTaskbarCreated(UINT message, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnAnotherInstance(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSettings(WORD, WORD, HWND, BOOL&);
    LRESULT OnRegistStartup(WORD, WORD, HWND, BOOL&);
    LRESULT OnStart(WORD, WORD, HWND, BOOL&);
    LRESULT OnRun(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);

    bool ApplyForm();
    // Applies the form, hides the frame and runs armed over every drive; false, with the form shown,
    // when the program could not arm.
    bool StartArmed();
    // The form opened for editing: the automatic mode stays off until the next Start.
    void ShowSettings();
    void RunExec(DWORD driveMask, bool arm, bool reportIfNone);
    void ShowStartBalloon();
    // The frame's open dialog or message box comes forward, or else the frame; true for the frame.
    bool BringForward();
    bool StartupFinished() const;
    void RunCommand(int slot);

    bool IsRunInProgress() const;
    // Stops the timer and drops a tick already queued: nothing the timer starts may run inside
    // the quit command's message boxes.
    void StopTimer();

    // Written here only; the timer reads them.
    CPendingArrivals m_pendingArrivals;
    bool m_armed = false;
    UINT_PTR m_timerId = 0;
};

} // namespace fhw

extern fhw::CMainFrame* g_mainFrame;
