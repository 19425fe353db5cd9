#include "ui/MonitorDpi.h"

#include <shellscalingapi.h>

namespace {

using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, MONITOR_DPI_TYPE, UINT*, UINT*);

// GetDpiForMonitor lives in shcore, which the program does not link and which Windows has only
// from 8.1 on: looked up at run time. The module stays loaded for the life of the process.
GetDpiForMonitorFn FindGetDpiForMonitor()
{
    static const GetDpiForMonitorFn fn = [] {
        const HMODULE shcore = ::LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return shcore ? reinterpret_cast<GetDpiForMonitorFn>(::GetProcAddress(shcore, "GetDpiForMonitor")) : nullptr;
    }();
    return fn;
}

} // namespace

UINT GetMonitorDpi(HMONITOR monitor)
{
    // Wine answers for no monitor at all as for the primary one; Windows refuses: asked of neither.
    const GetDpiForMonitorFn fn = monitor ? FindGetDpiForMonitor() : nullptr;
    UINT x = 0, y = 0;
    if (fn && SUCCEEDED(fn(monitor, MDT_EFFECTIVE_DPI, &x, &y)) && x > 0) return x;
    return GetScreenDpi();
}

UINT GetScreenDpi()
{
    const HDC screen = ::GetDC(nullptr);
    const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ::ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}
