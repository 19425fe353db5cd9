#include "app/CommandTable.h"

#include "app/CommandExplorer.h"
#include "app/CommandOpenUrl.h"
#include "ui/Msg.h"

CCommandTable* g_commands = nullptr;

CCommandTable::CCommandTable()
{
    g_commands = this;
    // Commands join the table as the features that run them are built; every slot is
    // optional to its callers until then.
    m_commands[OpenUrl].reset(new CCommandOpenUrl);
    m_commands[Explorer].reset(new CCommandExplorer);
    for (const auto& command : m_commands)
        if (command && !command->m_msg) command->m_msg = &g_msg;
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
