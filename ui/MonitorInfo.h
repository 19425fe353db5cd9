#pragma once
// Monitor and work-area geometry, and their text forms for logs.
#include <windows.h>

#include <string>

// Each fills info (its size field set first) and is false when no monitor was found or the query failed.
bool GetMonitorInfoFromHandle(HMONITOR monitor, MONITORINFOEXW& info);
bool GetMonitorInfoFromRect(const RECT& rect, DWORD flags, MONITORINFOEXW& info);
bool GetMonitorInfoFromPoint(POINT point, DWORD flags, MONITORINFOEXW& info);
// The cursor position of the message being handled.
bool GetMonitorInfoFromMessagePos(DWORD flags, MONITORINFOEXW& info);
bool GetMonitorInfoFromWindow(HWND hWnd, DWORD flags, MONITORINFOEXW& info);
bool GetPrimaryMonitorInfo(MONITORINFOEXW& info);

std::wstring PointToText(POINT point);
std::wstring RectToText(const RECT& rect);
std::wstring MonitorInfoToText(const MONITORINFOEXW& info);
