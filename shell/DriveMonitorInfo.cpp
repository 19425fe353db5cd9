#include "shell/DriveMonitorInfo.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "ids/drives.h"

#include <dbt.h>

CDriveMonitorInfo::~CDriveMonitorInfo()
{
    // Nobody to report to here: release both, whatever fails.
    if (m_handle) ::CloseHandle(m_handle);
    if (m_notify) ::UnregisterDeviceNotification(m_notify);
}

void CDriveMonitorInfo::Open(const std::wstring& path)
{
    if (m_handle) throw my::CException(IDS_DEVICE_ALREADY_OPENED, path);
    HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) throw my::CException(IDS_OPEN_FILE_FAILED, LastErrorAsHResult(), path);
    m_handle = handle;
    m_devicePath = path;
}

void CDriveMonitorInfo::Reopen()
{
    if (m_devicePath.empty()) throw my::CException(IDS_DEVICE_PATH_EMPTY);
    Open(m_devicePath);
}

void CDriveMonitorInfo::RegisterNotification(HWND hWnd)
{
    if (m_notify) throw my::CException(IDS_DEVICE_ALREADY_REGISTERED, m_devicePath);
    if (!m_handle) throw my::CException(IDS_REGISTER_DEVICE_NOTIFICATION_FAILED, E_HANDLE);
    DEV_BROADCAST_HANDLE filter = {};
    filter.dbch_size = sizeof(filter);
    filter.dbch_devicetype = DBT_DEVTYP_HANDLE;
    filter.dbch_handle = m_handle;
    HDEVNOTIFY notify = ::RegisterDeviceNotificationW(hWnd, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
    if (!notify) throw my::CException(IDS_REGISTER_DEVICE_NOTIFICATION_FAILED, LastErrorAsHResult());
    m_notify = notify;
}

void CDriveMonitorInfo::CloseHandle()
{
    if (!m_handle) return;
    if (!::CloseHandle(m_handle)) throw my::CException(IDS_CLOSE_HANDLE_FAILED, LastErrorAsHResult());
    m_handle = nullptr;
}

void CDriveMonitorInfo::UnregisterNotification()
{
    if (!m_notify) return;
    if (!::UnregisterDeviceNotification(m_notify))
        throw my::CException(IDS_UNREGISTER_DEVICE_NOTIFICATION_FAILED, LastErrorAsHResult());
    m_notify = nullptr;
}

void CDriveMonitorInfo::Close()
{
    CloseHandle();
    UnregisterNotification();
}

HRESULT CDriveMonitorInfo::GetDriveGeometry(DISK_GEOMETRY& geometry, DWORD& bytesReturned) const
{
    bytesReturned = 0;
    if (!m_handle) return E_HANDLE;
    if (!::DeviceIoControl(m_handle, IOCTL_DISK_GET_DRIVE_GEOMETRY, nullptr, 0, &geometry, sizeof(geometry),
                           &bytesReturned, nullptr))
        return LastErrorAsHResult();
    return S_OK;
}

std::wstring CDriveMonitorInfo::GetDriveLetters() const { return UnitMaskToLetters(m_driveMask); }

void CDriveMonitorInfo::Dump(std::wostream& os, int indent, const std::wstring& prefix) const
{
    for (int i = 0; i < indent; ++i) os << L"    ";
    os << prefix << L" [" << GetDriveLetters() << L"]" << L" " << m_devicePath;
}

std::wstring UnitMaskToLetters(DWORD mask)
{
    std::wstring letters;
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i)) letters += static_cast<wchar_t>(L'A' + i);
    }
    return letters;
}
