#include "shell/VolumeEject.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "ids/drives.h"

#include <winioctl.h>

namespace {

// CreateFileTransactedW, looked up at run time: Wine has none.
HANDLE OpenTransacted(const std::wstring& path, DWORD access, HANDLE transaction)
{
    using Fn = HANDLE(WINAPI*)(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE, HANDLE, PUSHORT,
                               PVOID);
    auto fn = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "CreateFileTransactedW"));
    if (!fn) {
        ::SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
        return INVALID_HANDLE_VALUE;
    }
    return fn(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr, transaction,
              nullptr, nullptr);
}

HRESULT Control(CVolumeFile& file, DWORD code, void* input, DWORD inputSize)
{
    if (!file.IsOpen()) return E_HANDLE;
    DWORD returned = 0;
    if (!::DeviceIoControl(file.m_handle, code, input, inputSize, nullptr, 0, &returned, nullptr))
        return LastErrorAsHResult();
    return S_OK;
}

} // namespace

void CVolumeFile::CloseVolume()
{
    if (IsOpen()) ::CloseHandle(m_handle);
    m_handle = nullptr;
}

std::wstring GetVolumeRootPath(wchar_t letter)
{
    std::wstring path = L"A:\\";
    path[0] = letter;
    return path;
}

std::wstring GetVolumeDevicePath(wchar_t letter)
{
    std::wstring path = L"\\\\.\\A:";
    path[4] = letter;
    return path;
}

UINT GetDriveTypeOfPath(const std::wstring& path) { return ::GetDriveTypeW(path.c_str()); }
UINT GetDriveTypeOfLetter(wchar_t letter) { return GetDriveTypeOfPath(GetVolumeRootPath(letter)); }

HRESULT OpenVolume(CVolumeFile& file, wchar_t letter)
{
    const UINT type = GetDriveTypeOfLetter(letter);
    DWORD access = 0;
    if (type == DRIVE_REMOVABLE)
        access = GENERIC_READ | GENERIC_WRITE;
    else if (type == DRIVE_CDROM)
        access = GENERIC_READ;
    else
        return E_INVALIDARG;
    file.CloseVolume();
    const std::wstring path = GetVolumeDevicePath(letter);
    HANDLE handle = file.m_transaction ? OpenTransacted(path, access, file.m_transaction)
                                       : ::CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                       nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return LastErrorAsHResult();
    file.m_handle = handle;
    return S_OK;
}

void OpenVolumeOrThrow(CVolumeFile& file, wchar_t letter)
{
    const HRESULT hr = OpenVolume(file, letter);
    if (FAILED(hr)) throw my::CException(IDS_OPEN_FILE_FAILED, hr, GetVolumeDevicePath(letter));
}

HRESULT LockVolumeWithRetry(CVolumeFile& file, DWORD timeoutMs, DWORD intervalMs)
{
    if (!file.IsOpen()) return E_HANDLE;
    const DWORD start = ::GetTickCount();
    DWORD returned = 0;
    for (;;) {
        if (::DeviceIoControl(file.m_handle, FSCTL_LOCK_VOLUME, nullptr, 0, nullptr, 0, &returned, nullptr))
            return S_OK;
        const HRESULT hr = LastErrorAsHResult();
        if (::GetTickCount() - start >= timeoutMs) return hr;
        ::Sleep(intervalMs);
    }
}

void LockVolumeOrThrow(CVolumeFile& file, DWORD timeoutMs, DWORD intervalMs)
{
    const HRESULT hr = LockVolumeWithRetry(file, timeoutMs, intervalMs);
    if (FAILED(hr)) throw my::CException(IDS_LOCK_VOLUME_FAILED, hr);
}

HRESULT DismountVolumeChecked(CVolumeFile& file) { return Control(file, FSCTL_DISMOUNT_VOLUME, nullptr, 0); }

HRESULT AllowMediaRemovalChecked(CVolumeFile& file)
{
    PREVENT_MEDIA_REMOVAL allow = {};
    allow.PreventMediaRemoval = FALSE;
    return Control(file, IOCTL_STORAGE_MEDIA_REMOVAL, &allow, sizeof(allow));
}

HRESULT EjectMediaChecked(CVolumeFile& file) { return Control(file, IOCTL_STORAGE_EJECT_MEDIA, nullptr, 0); }

void DismountVolume(CVolumeFile& file)
{
    const HRESULT hr = DismountVolumeChecked(file);
    if (FAILED(hr)) throw my::CException(IDS_DISMOUNT_VOLUME_FAILED, hr);
}

void AllowMediaRemoval(CVolumeFile& file)
{
    const HRESULT hr = AllowMediaRemovalChecked(file);
    if (FAILED(hr)) throw my::CException(IDS_MEDIA_REMOVAL_FAILED, hr);
}

void EjectMedia(CVolumeFile& file)
{
    const HRESULT hr = EjectMediaChecked(file);
    if (FAILED(hr)) throw my::CException(IDS_EJECT_MEDIA_FAILED, hr);
}

bool EjectVolume(wchar_t letter, bool& dismounted, DWORD lockTimeoutMs, DWORD retryIntervalMs)
{
    dismounted = false;
    CVolumeFile file;
    OpenVolumeOrThrow(file, letter);
    LockVolumeOrThrow(file, lockTimeoutMs, retryIntervalMs);
    dismounted = SUCCEEDED(DismountVolumeChecked(file));
    // A medium that refuses removal or ejection stays where it is: report only what happened.
    AllowMediaRemovalChecked(file);
    const bool ejected = SUCCEEDED(EjectMediaChecked(file));
    // The lock ends with the handle; no FSCTL_UNLOCK_VOLUME.
    file.CloseVolume();
    return ejected;
}
