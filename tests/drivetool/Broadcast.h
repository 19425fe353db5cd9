#pragma once
// Volume arrival and removal announced to other processes' top-level windows.
#include <windows.h>

// Sends WM_DEVICECHANGE (`event`, DEV_BROADCAST_VOLUME with `unitMask`) to every top-level window
// of every other process (of process `onlyPid` alone when it is not 0), waiting for each; returns
// the number of windows that took it. A window that has not answered for a while is skipped, and
// one that does not answer within `timeoutMs` is given up on, unless `skipHung` is false.
int BroadcastVolumeChange(UINT event, DWORD unitMask, DWORD onlyPid, UINT timeoutMs = 5000, bool skipHung = true);
