#include "Broadcast.h"

#include <dbt.h>

#include <vector>

namespace {

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM param)
{
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId()) reinterpret_cast<std::vector<HWND>*>(param)->push_back(hWnd);
    return TRUE;
}

} // namespace

int BroadcastVolumeChange(UINT event, DWORD unitMask)
{
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = unitMask;
    int delivered = 0;
    for (HWND hWnd : windows) {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(hWnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume), SMTO_ABORTIFHUNG,
                                  5000, &result))
            ++delivered;
    }
    return delivered;
}
