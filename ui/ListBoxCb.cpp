#include "ui/ListBoxCb.h"

#include <string>

int CListBoxCb::FindExact(int start, const wchar_t* text) const
{
    const std::wstring wanted(text ? text : L"");
    const int count = GetCount();
    if (start < 0 || start >= count) start = 0;
    std::wstring item;
    for (int i = start; i < count; ++i)
        if (GetItemText(i, item) && item == wanted) return i;
    for (int i = 0; i < start; ++i)
        if (GetItemText(i, item) && item == wanted) return i;
    return LB_ERR;
}

LRESULT CListBoxCb::OnFindString(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    return SendMessage(LB_FINDSTRINGEXACT, wParam, lParam);
}

LRESULT CListBoxCb::OnFindStringExact(UINT, WPARAM wParam, LPARAM lParam, BOOL& bHandled)
{
    if (m_useSystemFind) {
        bHandled = FALSE;
        return 0;
    }
    // wParam carries an int: -1 arrives as all bits set.
    return FindExact(static_cast<int>(wParam), reinterpret_cast<const wchar_t*>(lParam));
}
