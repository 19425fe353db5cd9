#include "ui/MonitorInfo.h"

#include <climits>
#include <sstream>

bool GetMonitorInfoFromHandle(HMONITOR monitor, MONITORINFOEXW& info)
{
    info.cbSize = sizeof(MONITORINFOEXW);
    if (!monitor) return false;
    return ::GetMonitorInfoW(monitor, &info) != FALSE;
}

bool GetMonitorInfoFromRect(const RECT& rect, DWORD flags, MONITORINFOEXW& info)
{
    return GetMonitorInfoFromHandle(::MonitorFromRect(&rect, flags), info);
}

bool GetMonitorInfoFromPoint(POINT point, DWORD flags, MONITORINFOEXW& info)
{
    return GetMonitorInfoFromHandle(::MonitorFromPoint(point, flags), info);
}

bool GetMonitorInfoFromMessagePos(DWORD flags, MONITORINFOEXW& info)
{
    const DWORD pos = ::GetMessagePos();
    const POINT point{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
    return GetMonitorInfoFromPoint(point, flags, info);
}

bool GetMonitorInfoFromWindow(HWND hWnd, DWORD flags, MONITORINFOEXW& info)
{
    return GetMonitorInfoFromHandle(::MonitorFromWindow(hWnd, flags), info);
}

// No monitor holds the most negative point, so the default answers: the primary monitor.
bool GetPrimaryMonitorInfo(MONITORINFOEXW& info)
{
    return GetMonitorInfoFromPoint(POINT{LONG_MIN, LONG_MIN}, MONITOR_DEFAULTTOPRIMARY, info);
}

std::wstring PointToText(POINT point)
{
    std::wostringstream os;
    os << L"(" << point.x << L", " << point.y << L")";
    return os.str();
}

std::wstring RectToText(const RECT& rect)
{
    return PointToText(POINT{rect.left, rect.top}) + L"-" + PointToText(POINT{rect.right, rect.bottom});
}

std::wstring MonitorInfoToText(const MONITORINFOEXW& info)
{
    std::wostringstream os;
    os << info.szDevice << L", rcMonitor: " << RectToText(info.rcMonitor) << L", rcWork: " << RectToText(info.rcWork)
       << L", Flags: " << info.dwFlags;
    return os.str();
}
