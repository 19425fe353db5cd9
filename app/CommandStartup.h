#pragma once
// The start-at-login shortcut and the tray icon's menu.
#include "app/Command.h"

#include <windows.h>

#include <string>

namespace fhw {

// <Startup folder>\<display name>.lnk; true when it exists. Throws 58833 without a Startup folder.
bool GetStartupShortcutPath(std::wstring& path);

class CCommandRegistStartup : public CCommand {
public:
    void ExecuteImpl(bool doIt) override;
    // Whether the shortcut exists; false, without a message, when that cannot be found out.
    static bool IsRegistered();
};

// Shows one popup of a menu at the cursor; the chosen item goes to the owner as WM_COMMAND.
class CCommandSubMenu : public CCommand {
public:
    CCommandSubMenu(HMENU menu, HWND owner, int subMenuIndex);
    ~CCommandSubMenu() override;
    CCommandSubMenu(const CCommandSubMenu&) = delete;
    CCommandSubMenu& operator=(const CCommandSubMenu&) = delete;

    void ExecuteImpl(bool doIt) override;

    HMENU m_hMenu;
    HWND m_owner;
    int m_subMenuIndex;
};

} // namespace fhw
