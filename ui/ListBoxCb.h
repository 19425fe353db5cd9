#pragma once
// The list part of a history combo box: its string searches are exact and case-sensitive, so a
// typed text never becomes a different list entry by prefix or case.
#include "ui/ControlsW.h"

#include <WindowImpl.h>

class CListBoxCb : public ATL::CWindowImpl<CListBoxCb, CListBoxW> {
public:
    // The whole text of an item equal to `text` (exact code units), searched from `start` to the
    // last item, then from the first item up to `start` - 1; -1 when none is equal.
    int FindExact(int start, const wchar_t* text) const;

    BEGIN_MSG_MAP(CListBoxCb)
        MESSAGE_HANDLER(LB_FINDSTRING, OnFindString)
        MESSAGE_HANDLER(LB_FINDSTRINGEXACT, OnFindStringExact)
    END_MSG_MAP()

    bool m_useSystemFind = false;

private:
    LRESULT OnFindString(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnFindStringExact(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled);
};
