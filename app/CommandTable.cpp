#include "app/CommandTable.h"

#include "app/CommandExec.h"
#include "app/CommandExplorer.h"
#include "app/CommandInit.h"
#include "app/CommandOpenUrl.h"
#include "app/CommandStartup.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "ui/Msg.h"

#include <AppModule.h>

CCommandTable* g_commands = nullptr;

template <class T> void CCommandTable::Make(Slot slot)
{
    m_commands[slot].reset(new T);
    m_commands[slot]->m_msg = &g_msg;
}

CCommandTable::CCommandTable()
{
    g_commands = this;
    try {
        Make<fhw::CCommandInit>(Init);
        Make<fhw::CCommandQuit>(Quit);
        Make<fhw::CCommandExec>(Exec);
        HMENU trayMenu = ::LoadMenuW(GetResourceInstance(), MAKEINTRESOURCEW(IDR_TRAYMENU));
        m_commands[SubMenu].reset(new fhw::CCommandSubMenu(trayMenu, nullptr, 0));
        m_commands[SubMenu]->m_msg = &g_msg;
        Make<fhw::CCommandRegistStartup>(RegistStartup);
        Make<CCommandOpenUrl>(OpenUrl);
        Make<CCommandExplorer>(Explorer);
    } catch (...) {
        ReleaseAll();
        if (g_commands == this) g_commands = nullptr;
        throw;
    }
}

CCommandTable::~CCommandTable()
{
    ReleaseAll();
    if (g_commands == this) g_commands = nullptr;
}

void CCommandTable::ReleaseAll() noexcept
{
    for (int slot = SlotCount - 1; slot >= 0; --slot) m_commands[slot].reset();
}
