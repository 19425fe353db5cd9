#include "shell/RemovableDisks.h"

#include "foundation/UniqueHandle.h"

#include <winioctl.h>

std::vector<CVolumeDiskNumber> QueryRemovableVolumeDiskNumbers()
{
    std::vector<CVolumeDiskNumber> volumes;
    wchar_t root[] = L"A:\\";
    wchar_t device[] = L"\\\\.\\A:";
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        // Drive type, not GetLogicalDrives: Wine keeps a removed drive in the logical drives.
        root[0] = letter;
        if (::GetDriveTypeW(root) != DRIVE_REMOVABLE) continue;
        device[4] = letter;
        const CUniqueKernelHandle volume(::CreateFileW(
            device, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr));
        if (!volume) continue;
        STORAGE_DEVICE_NUMBER number = {};
        DWORD returned = 0;
        const BOOL ok = ::DeviceIoControl(volume.Get(), IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                                          sizeof(number), &returned, nullptr);
        if (ok && returned >= sizeof(number)) volumes.push_back({letter, number.DeviceType, number.DeviceNumber});
    }
    return volumes;
}

std::vector<CDiskVolumes> GroupVolumesByDisk(const std::vector<CVolumeDiskNumber>& volumes)
{
    std::vector<CDiskVolumes> disks;
    std::vector<DWORD> numbers;
    for (const auto& volume : volumes) {
        if (volume.deviceType != FILE_DEVICE_DISK) continue;
        if (volume.letter < L'A' || volume.letter > L'Z') continue;
        const DWORD bit = 1u << (volume.letter - L'A');
        size_t i = 0;
        while (i < numbers.size() && numbers[i] != volume.deviceNumber) ++i;
        if (i == numbers.size()) {
            numbers.push_back(volume.deviceNumber);
            disks.push_back({0, L"\\\\.\\PhysicalDrive" + std::to_wstring(volume.deviceNumber)});
        }
        disks[i].driveMask |= bit;
    }
    return disks;
}
