#include "app/Startup.h"

#include "app/AppResources.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/Setting.h"
#include "foundation/AppInfo.h"
#include "foundation/ResString.h"
#include "foundation/ScopeExit.h"
#include "foundation/UniqueHandle.h"
#include "imaging/ImagingFactory.h"
#include "resource.h"
#include "ui/Msg.h"
#include "ui/WindowW.h"

#include <AppModule.h>
#include <WindowImpl.h>

#include <gdiplus.h>

#include <memory>

const wchar_t kApplicationGuid[] = L"85FB8528-27C6-4279-B9CB-0DF8C9DDD18E";
const wchar_t kHiddenWindowText[] = L"HiddenWindow for Fernhollow";

CAutoMessageLoop::CAutoMessageLoop()
{
    std::lock_guard guard(_Module.Lock());
    _Module.AddMessageLoop(this);
}

CAutoMessageLoop::~CAutoMessageLoop()
{
    std::lock_guard guard(_Module.Lock());
    _Module.RemoveMessageLoop();
}

BOOL CALLBACK FindWindowByText(HWND hWnd, LPARAM param)
{
    auto* search = reinterpret_cast<CWindowSearch*>(param);
    std::wstring text;
    if (CWindowW(hWnd).GetWindowTextTrim(text, true) && text == search->m_text) search->m_found = hWnd;
    return TRUE;
}

namespace {

// Never shown: the owner of the main frame, so that the frame has no taskbar button of its own.
class CHiddenWindow
    : public ATL::CWindowImpl<CHiddenWindow, CWindowW, ATL::CWinTraits<WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW>> {
public:
    BEGIN_MSG_MAP(CHiddenWindow)
    END_MSG_MAP()
};

// Builds the process-wide objects in order, runs the loop, tears down in reverse.
int RunFirstInstance()
{
    ULONG_PTR gdiplusToken = 0;
    const Gdiplus::GdiplusStartupInput gdiplusInput;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);
    const auto gdiplusShutdown = ScopeExit([&gdiplusToken] {
        if (gdiplusToken) Gdiplus::GdiplusShutdown(gdiplusToken);
    });
    CImagingFactoryHolder imaging; // after COM and GDI+, released before them
    CAppResources resources;
    fhw::CMainFrame frame;
    CCommandTable commands;
    CSetting setting;
    g_setting = &setting;
    const auto settingRelease = ScopeExit([] { g_setting = nullptr; });

    CHiddenWindow hidden;
    if (!hidden.Create(nullptr, ATL::CWindow::rcDefault, nullptr, WS_OVERLAPPEDWINDOW, WS_EX_TOOLWINDOW)) return 0;
    hidden.SetWindowText(kHiddenWindowText);

    int result = 0;
    if (frame.CreateEx(hidden)) {
        CAutoMessageLoop* loop = static_cast<CAutoMessageLoop*>(_Module.GetMessageLoop());
        result = loop->Run();
    }
    if (hidden.IsWindow()) hidden.DestroyWindow();
    return result;
}

} // namespace

int Run(LPWSTR, int)
{
    CAutoMessageLoop loop;

    CWindowSearch search;
    try {
        g_appInfo.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
        g_appInfo.SetGuid(kApplicationGuid);
        g_appInfo.SetHomePageId(IDS_HOMEPAGE_URL);
        LoadResString(search.m_text, IDS_DISPLAY_NAME);
    } catch (...) {
        CSimpleErr err;
        SetFromCurrentException(err);
        g_msg.ShowError(err);
        return 0;
    }

    const CUniqueKernelHandle mutex(::CreateMutexW(nullptr, TRUE, g_appInfo.GetGuid().c_str()));
    const DWORD error = ::GetLastError();
    int result = 0;
    if (!mutex || error == ERROR_ALREADY_EXISTS) {
        ::EnumWindows(FindWindowByText, reinterpret_cast<LPARAM>(&search));
        if (search.m_found) ::PostMessageW(search.m_found, fhw::WM_ANOTHER_INSTANCE, 0, 0);
    } else {
        try {
            result = RunFirstInstance();
        } catch (...) {
            // A constructor of the process-wide objects failed: stop in order with its message.
            CSimpleErr err;
            SetFromCurrentException(err);
            g_msg.ShowError(err);
            result = 0;
        }
    }
    return result;
}
