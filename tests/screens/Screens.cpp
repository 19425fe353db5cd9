// Shows one window of the program for a while so that a screenshot can be taken:
// "form" the settings form inside a frame, "about" the about box over it, "confirm" the
// confirm dialog of a run.
#include "app/AppResources.h"
#include "app/CommandTable.h"
#include "app/ConfirmDlg.h"
#include "app/MainView.h"
#include "app/Setting.h"
#include "foundation/AppInfo.h"
#include "ui/AboutDlg.h"

#include <AppModule.h>

#include <commctrl.h>
#include <gdiplus.h>
#include <ole2.h>

#include <string>

namespace {

class CFrame : public ATL::CWindowImpl<CFrame, CWindowW, ATL::CFrameWinTraits> {
public:
    DECLARE_WND_CLASS_EX(L"FhScreensFrame", CS_HREDRAW | CS_VREDRAW, COLOR_BTNFACE)
    BEGIN_MSG_MAP(CFrame)
    END_MSG_MAP()
};

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int)
{
    ::OleInitialize(nullptr);
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    _Module.Init(nullptr, instance);
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    {
        const std::wstring mode = commandLine ? commandLine : L"";
        g_appInfo.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
        g_appInfo.SetHomePageId(IDS_HOMEPAGE_URL);
        CSetting setting;
        g_setting = &setting;
        setting.Exec.DstFolder = L"C:\\users\\Public\\Pictures";
        CCommandTable commands;

        CFrame frame;
        fhw::CMainView view;
        frame.Create(nullptr, RECT{40, 40, 600, 420}, L"Fernhollow");
        view.Create(frame);
        const SIZE size = view.GetInitialSize();
        RECT rect{0, 0, size.cx, size.cy};
        ::AdjustWindowRectEx(&rect, frame.GetStyle(), FALSE, frame.GetExStyle());
        frame.SetWindowPos(nullptr, 40, 40, rect.right - rect.left, rect.bottom - rect.top, SWP_NOZORDER);
        view.MoveWindow(0, 0, size.cx, size.cy);
        frame.ShowWindow(SW_SHOW);
        ::SetTimer(nullptr, 0, mode.find(L"form") != std::wstring::npos ? 6000 : 8000,
                   [](HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); });

        // The dialog shown over the form, if any, takes the keyboard.
        CAppResources resources;
        fhw::CConfirmDlg confirm;
        CAboutDlg about;
        HWND dialog = view;
        if (mode.find(L"confirm") != std::wstring::npos) {
            confirm.SetSetting(setting.Exec);
            for (const wchar_t* name : {L"100CANON", L"101CANON", L"102_PANA", L"103NIKON"})
                confirm.m_operator.m_from.push_back(std::wstring(L"E:\\DCIM\\") + name);
            dialog = confirm.Create(frame);
        } else if (mode.find(L"about") != std::wstring::npos) {
            dialog = about.Create(frame);
        }
        ::ShowWindow(dialog, SW_SHOW);
        MSG msg;
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (::IsDialogMessageW(dialog, &msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (dialog != view) ::DestroyWindow(dialog);
        view.DestroyWindow();
        frame.DestroyWindow();
        g_setting = nullptr;
    }
    Gdiplus::GdiplusShutdown(gdiplusToken);
    _Module.Term();
    ::OleUninitialize();
    return 0;
}
