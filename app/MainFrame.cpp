#include "app/MainFrame.h"

fhw::CMainFrame* g_mainFrame = nullptr;

namespace fhw {

CMainFrame::CMainFrame() { g_mainFrame = this; }

CMainFrame::~CMainFrame()
{
    if (g_mainFrame == this) g_mainFrame = nullptr;
}

BOOL CMainFrame::PreTranslateMessage(MSG* msg)
{
    return m_hAccel && ::TranslateAcceleratorW(m_hWnd, m_hAccel, msg);
}

BOOL CMainFrame::OnIdle() { return FALSE; }

LRESULT CMainFrame::OnCreate(UINT, WPARAM, LPARAM, BOOL&)
{
    {
        std::lock_guard guard(_Module.Lock());
        if (WTL::CMessageLoop* loop = _Module.GetMessageLoop()) {
            loop->AddMessageFilter(this);
            loop->AddIdleHandler(this);
        }
    }
    PostMessage(WM_PLACEMENT_DONE);
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
    bHandled = FALSE; // the frame's own map ends the message loop
    return 0;
}

// Closing only hides the window; Exit ends the program.
LRESULT CMainFrame::OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    if ((wParam & 0xFFF0) != SC_CLOSE) {
        bHandled = FALSE;
        return 0;
    }
    ShowWindow(SW_HIDE);
    return 0;
}

LRESULT CMainFrame::OnAnotherInstance(UINT, WPARAM, LPARAM, BOOL&)
{
    ShowSettingsOrActivate();
    return 0;
}

LRESULT CMainFrame::OnPlacementDone(UINT, WPARAM, LPARAM, BOOL&)
{
    m_startupFinished = true;
    ShowWindow(SW_SHOW);
    return 0;
}

LRESULT CMainFrame::OnSettings(WORD, WORD, HWND, BOOL&)
{
    ShowWindow(SW_SHOW);
    BringForward();
    return 0;
}

LRESULT CMainFrame::OnExit(WORD, WORD, HWND, BOOL&)
{
    PostMessage(WM_CLOSE);
    return 0;
}

void CMainFrame::ShowSettingsOrActivate()
{
    if (!IsWindowVisible() && m_startupFinished)
        PostMessage(WM_COMMAND, ID_SETTINGS);
    else
        BringForward();
}

// The frame's open dialog or message box comes forward, or else the frame itself.
void CMainFrame::BringForward()
{
    HWND popup = GetWindow(GW_ENABLEDPOPUP);
    ::SetForegroundWindow(popup ? popup : m_hWnd);
}

} // namespace fhw
