#pragma once
// Helpers for dialog controls: checked text, geometry in the parent's coordinates, alignment.
#include <windows.h>

#include <string>

// The control's text trimmed of white space, CR, LF, tab and ideographic spaces; an empty result
// throws my::CCtrlException with messageId naming the control.
std::wstring& GetControlTextNotBlank(std::wstring& out, UINT messageId, HWND control);

bool GetControlRectInParent(HWND control, RECT& rect);
// Where something `width` wide goes to sit at the control's right edge, in parent coordinates.
bool GetRightEdgePoint(HWND control, int width, POINT& point);
bool ScreenToClientRect(HWND window, RECT& rect);
int GetControlId(HWND control);
HWND GetControlParent(HWND control);

// mode 0: start; 1: the far end (start + extent - size); 2: centred; anything else: start.
int AlignOffset(int mode, int start, int extent, int size);
