#pragma once
// Taking a removable volume away by its drive letter: open, lock, dismount, allow removal, eject.
#include <windows.h>

#include <string>

// An open volume device; closing it also ends a lock taken through it.
class CVolumeFile {
public:
    CVolumeFile() = default;
    ~CVolumeFile() { CloseVolume(); }
    CVolumeFile(const CVolumeFile&) = delete;
    CVolumeFile& operator=(const CVolumeFile&) = delete;

    bool IsOpen() const { return m_handle && m_handle != INVALID_HANDLE_VALUE; }
    void CloseVolume();

    HANDLE m_handle = nullptr;
    HANDLE m_transaction = nullptr; // a transaction to open through; none here
};

std::wstring GetVolumeRootPath(wchar_t letter);   // E:\ for E
std::wstring GetVolumeDevicePath(wchar_t letter); // \\.\E: for E

UINT GetDriveTypeOfPath(const std::wstring& path);
UINT GetDriveTypeOfLetter(wchar_t letter);

// Removable and CD-ROM drives only (E_INVALIDARG for any other type, nothing opened).
HRESULT OpenVolume(CVolumeFile& file, wchar_t letter);
void OpenVolumeOrThrow(CVolumeFile& file, wchar_t letter);

// Retries the lock every `intervalMs` until `timeoutMs` have passed since the first attempt.
HRESULT LockVolumeWithRetry(CVolumeFile& file, DWORD timeoutMs, DWORD intervalMs);
void LockVolumeOrThrow(CVolumeFile& file, DWORD timeoutMs, DWORD intervalMs);

// Single controls: the Checked forms return S_OK or the failure as HRESULT, the plain ones throw.
HRESULT DismountVolumeChecked(CVolumeFile& file);
HRESULT AllowMediaRemovalChecked(CVolumeFile& file);
HRESULT EjectMediaChecked(CVolumeFile& file);
void DismountVolume(CVolumeFile& file);
void AllowMediaRemoval(CVolumeFile& file);
void EjectMedia(CVolumeFile& file);

// Locks, dismounts, allows removal and ejects the volume of `letter`. Throws when the volume
// cannot be opened or locked. `dismounted` tells whether the dismount succeeded; the result
// whether the medium was ejected.
bool EjectVolume(wchar_t letter, bool& dismounted, DWORD lockTimeoutMs, DWORD retryIntervalMs);
