#include "shell/VolumeSerial.h"

bool QueryVolumeSerial(wchar_t letter, DWORD& serial)
{
    serial = 0;
    const wchar_t root[] = {letter, L':', L'\\', L'\0'};
    const UINT type = ::GetDriveTypeW(root);
    if (type == DRIVE_NO_ROOT_DIR || type == DRIVE_UNKNOWN) return false;
    // No message box for a drive without a medium.
    const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    const BOOL ok = ::GetVolumeInformationW(root, nullptr, 0, &serial, nullptr, nullptr, nullptr, 0);
    ::SetErrorMode(previous);
    return ok != FALSE;
}
