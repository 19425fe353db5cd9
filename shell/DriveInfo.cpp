#include "shell/DriveInfo.h"

#include "foundation/TextHelpers.h"
#include "shell/DeviceInfoSet.h"

#include <initguid.h>

#include <ntddstor.h>

void BuildDosDeviceMap(DriveInfoTable& table)
{
    table.clear();
    table.resize(26);
    wchar_t name[] = L"A:";
    for (int i = 0; i < 26; ++i) {
        name[0] = static_cast<wchar_t>(L'A' + i);
        wchar_t target[MAX_PATH + 1] = {};
        if (!::QueryDosDeviceW(name, target, MAX_PATH)) continue;
        auto info = boost::shared_ptr<CDriveInfo>(new CDriveInfo);
        info->m_dosDeviceName = target; // the first name of the answer, up to its NUL
        table[i] = info;
    }
}

void AssignVolumeDeviceIds(DriveInfoTable& table)
{
    CDeviceInfoSet set;
    set.Create(GUID_DEVINTERFACE_VOLUME, nullptr);
    SP_DEVINFO_DATA device;
    for (DWORD index = 0; set.EnumDeviceInfo(index, device); ++index) {
        std::wstring objectName;
        if (!set.GetRegistryProperty(device, SPDRP_PHYSICAL_DEVICE_OBJECT_NAME, objectName)) continue;
        const auto found = FindDriveInfoByDeviceName(table, objectName);
        if (found != table.end()) (*found)->m_volumeDeviceId = GetDeviceId(device.DevInst);
    }
    set.Destroy();
}

DriveInfoTable::const_iterator FindDriveInfoByDeviceName(const DriveInfoTable& table, const std::wstring& name)
{
    for (auto it = table.begin(); it != table.end(); ++it) {
        if (*it && (*it)->m_dosDeviceName == name) return it;
    }
    return table.end();
}

DWORD FindMatchingDevices(const DriveInfoTable& table, const std::list<std::wstring>& ids)
{
    DWORD mask = 0;
    const size_t count = table.size() < 26 ? table.size() : 26;
    for (size_t i = 0; i < count; ++i) {
        const auto& info = table[i];
        if (!info || info->m_volumeDeviceId.empty()) continue;
        for (const auto& id : ids) {
            if (_wcsicmp_l(info->m_volumeDeviceId.c_str(), id.c_str(), g_cLocale) == 0) {
                mask |= 1u << i;
                break;
            }
        }
    }
    return mask;
}
