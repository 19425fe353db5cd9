#pragma once
// The program's one visible top-level window; mostly hidden, the program then lives in the tray.
#include "resource.h"
#include "ui/WindowW.h"

#include <AppModule.h>
#include <FrameWindow.h>
#include <MessageLoop.h>

namespace fhw {

constexpr UINT WM_PLACEMENT_DONE = WM_APP;
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 1;
constexpr UINT WM_ANOTHER_INSTANCE = WM_APP + 2;

using CMainFrameTraits = ATL::CWinTraits<0x06CE0000, 0x00000100>;

class CMainFrame : public WTL::CFrameWindowImpl<CMainFrame, CWindowW, CMainFrameTraits>,
                   public WTL::CMessageFilter,
                   public WTL::CIdleHandler {
public:
    using Base = WTL::CFrameWindowImpl<CMainFrame, CWindowW, CMainFrameTraits>;
    DECLARE_FRAME_WND_CLASS(nullptr, IDR_MAINFRAME)

    CMainFrame();
    ~CMainFrame() override;

    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnIdle() override;

    void ShowSettingsOrActivate();
    bool StartupFinished() const { return m_startupFinished; }

    BEGIN_MSG_MAP(CMainFrame)
        MESSAGE_HANDLER(WM_CREATE, OnCreate)
        MESSAGE_HANDLER(WM_DESTROY, OnDestroy)
        MESSAGE_HANDLER(WM_SYSCOMMAND, OnSysCommand)
        MESSAGE_HANDLER(WM_ANOTHER_INSTANCE, OnAnotherInstance)
        MESSAGE_HANDLER(WM_PLACEMENT_DONE, OnPlacementDone)
        COMMAND_ID_HANDLER(ID_SETTINGS, OnSettings)
        COMMAND_ID_HANDLER(ID_APP_EXIT, OnExit)
        CHAIN_MSG_MAP(Base)
    END_MSG_MAP()

private:
    LRESULT OnCreate(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnDestroy(UINT, WPARAM, LPARAM, BOOL& bHandled);
    LRESULT OnSysCommand(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnAnotherInstance(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnPlacementDone(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSettings(WORD, WORD, HWND, BOOL&);
    LRESULT OnExit(WORD, WORD, HWND, BOOL&);

    void BringForward();

    bool m_startupFinished = false;
};

} // namespace fhw

extern fhw::CMainFrame* g_mainFrame;
