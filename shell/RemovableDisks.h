#pragma once
// Removable volumes grouped by the disk they lie on, found through the storage device number of
// each volume. Used where the device installer lists no disk device at all (Wine).
#include <windows.h>

#include <string>
#include <vector>

struct CVolumeDiskNumber {
    wchar_t letter;
    DWORD deviceType;   // FILE_DEVICE_DISK for a disk
    DWORD deviceNumber; // N of \\.\PhysicalDrive<N>
};

struct CDiskVolumes {
    DWORD driveMask; // bit i: letter 'A' + i
    std::wstring devicePath;
};

// The removable drive letters (by drive type) whose storage device number can be read.
std::vector<CVolumeDiskNumber> QueryRemovableVolumeDiskNumbers();

// One entry per disk, in the order of each disk's first letter; volumes that are not on a disk
// device are left out.
std::vector<CDiskVolumes> GroupVolumesByDisk(const std::vector<CVolumeDiskNumber>& volumes);
