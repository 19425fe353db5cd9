#pragma once
// A monitor's scale in dots per inch, as this process sees it: 96 at 100 %.
#include <windows.h>

// The effective dots per inch of `monitor`: the monitor's own for a process aware of each
// monitor's scale, the system's for one aware of that alone, 96 for one aware of neither. The
// screen's (GetScreenDpi) where the system cannot tell.
UINT GetMonitorDpi(HMONITOR monitor);

// The dots per inch of the screen's device context: the system's scale, which is every monitor's
// where the system has no scale per monitor.
UINT GetScreenDpi();
