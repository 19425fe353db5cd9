#pragma once
// The drive table: for each letter A to Z its DOS device name and the id of the volume device
// behind it.
#include <windows.h>

#include <boost/shared_ptr.hpp>

#include <list>
#include <string>
#include <vector>

class CDriveInfo {
public:
    std::wstring m_dosDeviceName;  // the target of "E:", such as \Device\HarddiskVolume3
    std::wstring m_volumeDeviceId; // device instance id of the volume; empty until found
};

// 26 slots, slot i for letter 'A' + i; empty where the letter has no DOS device.
using DriveInfoTable = std::vector<boost::shared_ptr<CDriveInfo>>;

void BuildDosDeviceMap(DriveInfoTable& table);
void AssignVolumeDeviceIds(DriveInfoTable& table);
DriveInfoTable::const_iterator FindDriveInfoByDeviceName(const DriveInfoTable& table, const std::wstring& name);
// Bit i set when slot i's volume id equals one of `ids` (case-insensitive, "C" locale).
DWORD FindMatchingDevices(const DriveInfoTable& table, const std::list<std::wstring>& ids);
