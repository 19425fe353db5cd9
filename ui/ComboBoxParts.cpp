#include "ui/ComboBoxParts.h"

#include "foundation/ScopeExit.h"
#include "ui/ControlsW.h"

#include <algorithm>
#include <string>

bool GetComboBoxParts(HWND combo, HWND& list, HWND& edit)
{
    list = nullptr;
    edit = nullptr;
    // The structure size must be the x64 one: a 32-bit size makes the call fail.
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!::SendMessageW(combo, CB_GETCOMBOBOXINFO, 0, reinterpret_cast<LPARAM>(&info))) return false;
    list = info.hwndList;
    edit = info.hwndItem;
    return true;
}

int MeasureDroppedWidth(HWND combo, HWND list)
{
    RECT client{};
    ::GetClientRect(combo, &client);
    int widest = client.right - client.left;

    HDC dc = ::GetDC(combo);
    if (!dc) return widest;
    const auto release = ScopeExit([combo, dc] { ::ReleaseDC(combo, dc); });
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(combo, WM_GETFONT, 0, 0));
    HGDIOBJ oldFont = font ? ::SelectObject(dc, font) : nullptr;
    const auto restoreFont = ScopeExit([dc, oldFont] {
        if (oldFont) ::SelectObject(dc, oldFont);
    });
    int margin = 6;
    if (list && (::GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL)) margin += ::GetSystemMetrics(SM_CXVSCROLL);

    const CComboBoxW box(combo);
    const int count = box.GetCount();
    std::wstring text;
    for (int i = 0; i < count; ++i) {
        if (!box.GetLBText(i, text)) continue;
        SIZE size{};
        if (::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size))
            widest = std::max(widest, static_cast<int>(size.cx) + margin);
    }
    return widest;
}

void SetDroppedWidthToFit(HWND combo, HWND list)
{
    ::SendMessageW(combo, CB_SETDROPPEDWIDTH, static_cast<WPARAM>(MeasureDroppedWidth(combo, list)), 0);
}
