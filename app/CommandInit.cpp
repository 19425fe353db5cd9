#include "app/CommandInit.h"

#include "app/AppResources.h"
#include "app/CommandTable.h"
#include "app/MainFrame.h"
#include "app/Setting.h"
#include "foundation/AppInfo.h"
#include "foundation/NumberText.h"
#include "foundation/TextHelpers.h"
#include "ids/appcmds.h"
#include "ui/Msg.h"

namespace fhw {

void CCommandLineParser::Parse(const std::vector<std::wstring>& arguments)
{
    if (arguments.size() < 2) return;
    if (arguments.size() > 2) {
        std::wstring text;
        for (size_t i = 1; i < arguments.size(); ++i) text += arguments[i] + L"\r\n";
        throw my::CException(IDS_TOO_MANY_ARGUMENTS, ToWString(static_cast<unsigned long>(arguments.size() - 1)), text);
    }
    const std::wstring& option = arguments[1];
    if (_wcsicmp_l(option.c_str(), L"/start", g_cLocale) != 0 && _wcsicmp_l(option.c_str(), L"-start", g_cLocale) != 0)
        throw my::CException(IDS_UNKNOWN_OPTION, option);
    m_start = true;
}

void CCommandInit::ExecuteImpl(bool doIt)
{
    if (!doIt || !g_mainFrame) return;
    CMainFrame& frame = *g_mainFrame;
    ParseCommandLine();
    if (!LoadSettings()) {
        frame.PostMessage(WM_CLOSE);
        return;
    }
    frame.ApplySettings();
    if (auto quit = boost::dynamic_pointer_cast<CCommandQuit>(g_commands->Get(CCommandTable::Quit)))
        quit->m_noSave = false;
    frame.m_driveMonitor->Reset();
    frame.m_trayIcon->SetGivenWayFormat(g_appResources->m_resultsNotShown.m_text);
    frame.m_trayIcon->Add(frame, 1, WM_TRAY_NOTIFY, g_appResources->m_hIcon, g_appInfo.GetDisplayName().c_str());
}

bool CCommandInit::ParseCommandLine()
{
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    CCommandLineParser& parser = g_mainFrame->m_cmdLine;
    const std::wstring commandLine = ::GetCommandLineW();
    CCommand::RunGuardedCall(err, [&] { static_cast<CSimpleCommandLineParser&>(parser).Parse(commandLine); });
    if (!err.HasError()) return true;
    if (err.m_hWnd) ::SetFocus(err.m_hWnd);
    if (m_msg) m_msg->ShowError(err);
    return false;
}

bool CCommandInit::LoadSettings()
{
    const std::wstring path = g_appInfo.GetConfigFileFullPath();
    if (path.empty()) return true; // no data folder: the defaults
    return LoadSettingsWithPrompts(g_msg, *g_setting, path);
}

void CCommandQuit::ExecuteImpl(bool doIt)
{
    if (!doIt) return;
    if (g_mainFrame) {
        g_mainFrame->m_trayIcon->Delete();
        g_mainFrame->RecordWindowState();
    }
    if (m_noSave) return;
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    CCommand::RunGuardedCall(err, [this] { SaveSettings(); });
    if (err.HasError() && m_msg) m_msg->ShowError(err);
}

void CCommandQuit::SaveSettings()
{
    const std::wstring path = g_appInfo.GetConfigFileFullPath();
    if (path.empty()) throw my::CException(IDS_STARTUP_FOLDER_FAILED, std::wstring(L"CSIDL_APPDATA"));
    SaveSettingsOrThrow(*g_setting, path);
}

} // namespace fhw
