#include "app/CommandTable.h"

#include "ui/Msg.h"

CCommandTable* g_commands = nullptr;

CCommandTable::CCommandTable()
{
    g_commands = this;
    // Commands join the table as the features that run them are built; every slot is
    // optional to its callers until then.
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
