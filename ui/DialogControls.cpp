#include "ui/DialogControls.h"

#include "foundation/Exception.h"
#include "foundation/NumberText.h"
#include "foundation/TextHelpers.h"
#include "ids/foundation.h"
#include "ui/WindowW.h"

namespace {

// One trim over both sets: trimming them one after the other would leave a blank that stands
// behind an ideographic space.
bool IsBlankOrIdeographicSpace(wchar_t c) { return c == 0x3000 || c == L'\n' || c == L'\t' || IsWhiteSpaceOrCr(c); }

} // namespace

std::wstring& GetControlTextNotBlank(std::wstring& out, UINT messageId, HWND control)
{
    std::wstring text;
    if (!CWindowW(control).GetWindowText(text)) {
        CSimpleErr err;
        err.Set(IDS_CONTROL_TEXT_ERROR, ToWString(static_cast<long>(::GetDlgCtrlID(control))));
        my::CCtrlException e(err);
        e.m_hWnd = control;
        throw e;
    }
    TrimBy(text, IsBlankOrIdeographicSpace);
    if (text.empty()) throw my::CCtrlException(control, messageId);
    out.swap(text);
    return out;
}

bool GetControlRectInParent(HWND control, RECT& rect)
{
    const HWND parent = ::GetParent(control);
    if (!parent || !::GetWindowRect(control, &rect)) return false;
    return ScreenToClientRect(parent, rect);
}

bool GetRightEdgePoint(HWND control, int width, POINT& point)
{
    RECT rect{};
    if (!GetControlRectInParent(control, rect)) return false;
    point = POINT{rect.right - width, rect.top};
    return true;
}

bool ScreenToClientRect(HWND window, RECT& rect)
{
    POINT corners[2] = {{rect.left, rect.top}, {rect.right, rect.bottom}};
    if (!::ScreenToClient(window, &corners[0]) || !::ScreenToClient(window, &corners[1])) return false;
    rect = RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
    return true;
}

int GetControlId(HWND control) { return ::GetDlgCtrlID(control); }
HWND GetControlParent(HWND control) { return ::GetParent(control); }

int AlignOffset(int mode, int start, int extent, int size)
{
    switch (mode) {
    case 1: return start + extent - size;
    case 2: return start + (extent - size) / 2;
    default: return start;
    }
}
