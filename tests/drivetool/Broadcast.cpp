#include "Broadcast.h"

#include <dbt.h>

#include <vector>

namespace {

struct Collect {
    DWORD onlyPid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hWnd, LPARAM param)
{
    auto* collect = reinterpret_cast<Collect*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hWnd, &pid);
    if (pid != ::GetCurrentProcessId() && (!collect->onlyPid || pid == collect->onlyPid))
        collect->windows.push_back(hWnd);
    return TRUE;
}

} // namespace

int BroadcastVolumeChange(UINT event, DWORD unitMask, DWORD onlyPid, UINT timeoutMs, bool skipHung)
{
    Collect collect{onlyPid, {}};
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&collect));
    DEV_BROADCAST_VOLUME volume = {};
    volume.dbcv_size = sizeof(volume);
    volume.dbcv_devicetype = DBT_DEVTYP_VOLUME;
    volume.dbcv_unitmask = unitMask;
    int delivered = 0;
    for (HWND hWnd : collect.windows) {
        DWORD_PTR result = 0;
        if (::SendMessageTimeoutW(hWnd, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume),
                                  skipHung ? SMTO_ABORTIFHUNG : SMTO_NORMAL, timeoutMs, &result))
            ++delivered;
    }
    return delivered;
}
