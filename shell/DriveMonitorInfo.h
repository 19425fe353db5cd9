#pragma once
// The drive monitor's record of one disk: the letters of its volumes, its device path, the open
// handle and the handle notification registered for it.
#include <windows.h>

#include <winioctl.h>

#include <ostream>
#include <string>

class CDriveMonitorInfo {
public:
    CDriveMonitorInfo() = default;
    ~CDriveMonitorInfo();
    CDriveMonitorInfo(const CDriveMonitorInfo&) = delete;
    CDriveMonitorInfo& operator=(const CDriveMonitorInfo&) = delete;

    void Open(const std::wstring& path);
    void Reopen();
    void RegisterNotification(HWND hWnd);
    void CloseHandle();
    void UnregisterNotification();
    void Close();

    HRESULT GetDriveGeometry(DISK_GEOMETRY& geometry, DWORD& bytesReturned) const;
    std::wstring GetDriveLetters() const;
    void Dump(std::wostream& os, int indent, const std::wstring& prefix) const;

    DWORD m_driveMask = 0; // bit i: drive letter 'A' + i
    std::wstring m_devicePath;
    HANDLE m_handle = nullptr;
    HDEVNOTIFY m_notify = nullptr;
    // Set where the platform delivers no handle notifications for this disk: the volume
    // remove-complete broadcast for its letters is then what removes the record.
    bool m_removedByVolumeBroadcast = false;
};

// The letters of the set bits 0 to 25 in ascending order ("EF" for bits 4 and 5).
std::wstring UnitMaskToLetters(DWORD mask);
