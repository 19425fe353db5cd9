#include "app/CommandStartup.h"

#include "app/MainFrame.h"
#include "foundation/AppInfo.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformPaths.h"
#include "ids/appcmds.h"
#include "shell/FileUtilities.h"
#include "shell/ShellLink.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace fhw {

bool GetStartupShortcutPath(std::wstring& path)
{
    std::wstring folder;
    HWND owner = g_mainFrame ? g_mainFrame->m_hWnd : nullptr;
    if (!GetSpecialFolderPath(folder, owner, CSIDL_STARTUP, true))
        throw my::CException(IDS_STARTUP_FOLDER_FAILED, std::wstring(L"CSIDL_STARTUP"));
    path = folder;
    AppendPath(path, g_appInfo.GetDisplayName() + L".lnk");
    return ::PathFileExistsW(path.c_str()) != FALSE;
}

void CCommandRegistStartup::ExecuteImpl(bool doIt)
{
    if (!doIt) return;
    std::wstring path;
    if (GetStartupShortcutPath(path)) {
        files::DeleteFileOrThrow(path);
        return;
    }
    std::wstring program;
    if (!GetModulePathFromCommandLine(program)) throw my::CException(IDS_PROGRAM_PATH_FAILED);
    CreateShellLink(path, program, L"/start");
}

bool CCommandRegistStartup::IsRegistered()
{
    try {
        std::wstring path;
        return GetStartupShortcutPath(path);
    } catch (...) {
        return false;
    }
}

CCommandSubMenu::CCommandSubMenu(HMENU menu, HWND owner, int subMenuIndex)
    : m_hMenu(menu), m_owner(owner), m_subMenuIndex(subMenuIndex)
{}

CCommandSubMenu::~CCommandSubMenu()
{
    if (m_hMenu) ::DestroyMenu(m_hMenu);
}

void CCommandSubMenu::ExecuteImpl(bool doIt)
{
    if (!doIt) return;
    if (g_mainFrame) g_mainFrame->UISetCheck(ID_REGIST_STARTUP, CCommandRegistStartup::IsRegistered());
    HMENU popup = ::GetSubMenu(m_hMenu, m_subMenuIndex);
    if (!::IsMenu(popup)) return;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    HWND owner = m_owner ? m_owner : (g_mainFrame ? g_mainFrame->m_hWnd : nullptr);
    // The owner must be in the foreground, or the menu would not close when the user clicks away.
    ::SetForegroundWindow(owner);
    ::TrackPopupMenu(popup, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageW(owner, WM_NULL, 0, 0);
}

} // namespace fhw
