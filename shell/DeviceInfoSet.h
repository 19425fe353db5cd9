#pragma once
// Throwing wrappers over SetupAPI device information sets and the Configuration Manager's
// device ids.
#include <windows.h>

#include <cfgmgr32.h>
#include <setupapi.h>

#include <list>
#include <string>
#include <vector>

class CDeviceInfoSet {
public:
    CDeviceInfoSet() = default;
    ~CDeviceInfoSet();
    CDeviceInfoSet(const CDeviceInfoSet&) = delete;
    CDeviceInfoSet& operator=(const CDeviceInfoSet&) = delete;

    void Create(const GUID& classGuid, HWND parent);
    void Destroy();

    // False once the index is past the last device.
    bool EnumDeviceInfo(DWORD index, SP_DEVINFO_DATA& device) const;
    // False once the index is past the last interface of `device` in `classGuid`.
    bool EnumDeviceInterface(SP_DEVINFO_DATA& device, const GUID& classGuid, DWORD index,
                             SP_DEVICE_INTERFACE_DATA& iface) const;
    // The detail lives in `buffer`; its DevicePath is the interface's path.
    const SP_DEVICE_INTERFACE_DETAIL_DATA_W* GetInterfaceDetail(SP_DEVICE_INTERFACE_DATA& iface,
                                                                std::vector<BYTE>& buffer) const;
    // True only for a text value (REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ), cut at its first NUL.
    bool GetRegistryProperty(SP_DEVINFO_DATA& device, DWORD property, std::wstring& text) const;

    HDEVINFO m_handle = nullptr;
};

std::wstring GetDeviceId(DEVINST devinst);
void GetDeviceIdList(const std::wstring& filter, std::list<std::wstring>& ids);
// Appends each NUL-terminated item and stops at the first empty one; an unterminated last item
// within `length` counts too.
void SplitMultiString(const wchar_t* buffer, size_t length, std::list<std::wstring>& items);
