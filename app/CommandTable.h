#pragma once
// The program's commands, made once at start-up in slot order and released in reverse.
#include "app/Command.h"

#include <boost/shared_ptr.hpp>

class CCommandTable {
public:
    enum Slot { Init, Quit, Exec, SubMenu, RegistStartup, OpenUrl, Explorer, SlotCount };

    CCommandTable();
    ~CCommandTable();
    CCommandTable(const CCommandTable&) = delete;
    CCommandTable& operator=(const CCommandTable&) = delete;

    const boost::shared_ptr<CCommand>& Get(Slot slot) const { return m_commands[slot]; }

private:
    template <class T> void Make(Slot slot);
    void ReleaseAll() noexcept;

    boost::shared_ptr<CCommand> m_commands[SlotCount];
};

extern CCommandTable* g_commands;
