#pragma once
// Update-UI table: check and enable states of commands, applied to a popup menu when it opens.
#include <windows.h>

#include <map>

namespace WTL {

enum : WORD { UPDUI_MENUPOPUP = 0x0001, UPDUI_MENUBAR = 0x0002 };

struct UpdateUIMapEntry {
    WORD m_nID;
    WORD m_wType;
};

#define BEGIN_UPDATE_UI_MAP(thisClass)                                                                                 \
    static const WTL::UpdateUIMapEntry* GetUpdateUIMap()                                                               \
    {                                                                                                                  \
        static const WTL::UpdateUIMapEntry theMap[] = {
#define UPDATE_ELEMENT(nID, wType) {static_cast<WORD>(nID), static_cast<WORD>(wType)},
#define END_UPDATE_UI_MAP()                                                                                            \
    {                                                                                                                  \
        static_cast<WORD>(-1), 0                                                                                       \
    }                                                                                                                  \
    }                                                                                                                  \
    ;                                                                                                                  \
    return theMap;                                                                                                     \
    }

template <class T> class CUpdateUI {
public:
    struct State {
        bool checked = false;
        bool disabled = false;
    };

    BOOL UISetCheck(int id, int check)
    {
        if (!Find(id)) return FALSE;
        m_states[static_cast<WORD>(id)].checked = check != 0;
        return TRUE;
    }
    BOOL UIEnable(int id, BOOL enable)
    {
        if (!Find(id)) return FALSE;
        m_states[static_cast<WORD>(id)].disabled = !enable;
        return TRUE;
    }
    State UIGetState(int id) const
    {
        auto it = m_states.find(static_cast<WORD>(id));
        return it == m_states.end() ? State{} : it->second;
    }

    // Applies the states to the popup menu that is about to open; the message goes on.
    BOOL ProcessWindowMessage(HWND, UINT uMsg, WPARAM wParam, LPARAM, LRESULT&, DWORD = 0)
    {
        if (uMsg != WM_INITMENUPOPUP) return FALSE;
        HMENU menu = reinterpret_cast<HMENU>(wParam);
        for (const UpdateUIMapEntry* e = T::GetUpdateUIMap(); e->m_nID != static_cast<WORD>(-1); ++e) {
            if (!(e->m_wType & UPDUI_MENUPOPUP)) continue;
            const State state = UIGetState(e->m_nID);
            ::CheckMenuItem(menu, e->m_nID, MF_BYCOMMAND | (state.checked ? MF_CHECKED : MF_UNCHECKED));
            ::EnableMenuItem(menu, e->m_nID, MF_BYCOMMAND | (state.disabled ? MF_GRAYED : MF_ENABLED));
        }
        return FALSE;
    }

private:
    static bool Find(int id)
    {
        for (const UpdateUIMapEntry* e = T::GetUpdateUIMap(); e->m_nID != static_cast<WORD>(-1); ++e)
            if (e->m_nID == id) return true;
        return false;
    }

    std::map<WORD, State> m_states;
};

} // namespace WTL
