#include "shell/DeviceInfoSet.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/NumberText.h"
#include "ids/drives.h"

#include <cstddef>

CDeviceInfoSet::~CDeviceInfoSet()
{
    if (m_handle) ::SetupDiDestroyDeviceInfoList(m_handle);
}

void CDeviceInfoSet::Create(const GUID& classGuid, HWND parent)
{
    Destroy();
    HDEVINFO set = ::SetupDiGetClassDevsW(&classGuid, nullptr, parent, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
    if (set == INVALID_HANDLE_VALUE) throw my::CException(IDS_GET_CLASS_DEVICES_FAILED, LastErrorAsHResult());
    m_handle = set;
}

void CDeviceInfoSet::Destroy()
{
    if (!m_handle) return;
    if (!::SetupDiDestroyDeviceInfoList(m_handle))
        throw my::CException(IDS_RELEASE_DEVICE_INFO_LIST_FAILED, LastErrorAsHResult());
    m_handle = nullptr;
}

bool CDeviceInfoSet::EnumDeviceInfo(DWORD index, SP_DEVINFO_DATA& device) const
{
    if (!m_handle) throw my::CException(IDS_ENUM_DEVICE_INFO_FAILED, E_HANDLE);
    device = {};
    device.cbSize = sizeof(device);
    if (::SetupDiEnumDeviceInfo(m_handle, index, &device)) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_NO_MORE_ITEMS) return false;
    throw my::CException(IDS_ENUM_DEVICE_INFO_FAILED, FailureFromWin32(error));
}

bool CDeviceInfoSet::EnumDeviceInterface(SP_DEVINFO_DATA& device, const GUID& classGuid, DWORD index,
                                         SP_DEVICE_INTERFACE_DATA& iface) const
{
    if (!m_handle) throw my::CException(IDS_ENUM_DEVICE_INTERFACES_FAILED, E_HANDLE);
    iface = {};
    iface.cbSize = sizeof(iface);
    if (::SetupDiEnumDeviceInterfaces(m_handle, &device, &classGuid, index, &iface)) return true;
    const DWORD error = ::GetLastError();
    if (error == ERROR_NO_MORE_ITEMS) return false;
    throw my::CException(IDS_ENUM_DEVICE_INTERFACES_FAILED, FailureFromWin32(error));
}

const SP_DEVICE_INTERFACE_DETAIL_DATA_W* CDeviceInfoSet::GetInterfaceDetail(SP_DEVICE_INTERFACE_DATA& iface,
                                                                            std::vector<BYTE>& buffer) const
{
    DWORD size = 0;
    if (!::SetupDiGetDeviceInterfaceDetailW(m_handle, &iface, nullptr, 0, &size, nullptr)) {
        const DWORD error = ::GetLastError();
        if (error != ERROR_INSUFFICIENT_BUFFER)
            throw my::CException(IDS_DEVICE_INTERFACE_DETAIL_FAILED, FailureFromWin32(error));
    }
    // Room for the fixed part and a NUL even if the size query answered less.
    const size_t minimum = offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) + sizeof(wchar_t);
    buffer.assign(size < minimum ? minimum : size, 0);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W); // the fixed part only: 8 on x64
    if (!::SetupDiGetDeviceInterfaceDetailW(m_handle, &iface, detail, static_cast<DWORD>(buffer.size()), nullptr,
                                            nullptr))
        throw my::CException(IDS_DEVICE_INTERFACE_DETAIL_FAILED, LastErrorAsHResult());
    return detail;
}

bool CDeviceInfoSet::GetRegistryProperty(SP_DEVINFO_DATA& device, DWORD property, std::wstring& text) const
{
    text.clear();
    std::vector<BYTE> buffer(256);
    DWORD type = 0;
    for (;;) {
        DWORD required = 0;
        if (::SetupDiGetDeviceRegistryPropertyW(m_handle, &device, property, &type, buffer.data(),
                                                static_cast<DWORD>(buffer.size()), &required))
            break;
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || required <= buffer.size()) return false;
        buffer.resize(required);
    }
    if (type != REG_SZ && type != REG_EXPAND_SZ && type != REG_MULTI_SZ) return false;
    const auto* chars = reinterpret_cast<const wchar_t*>(buffer.data());
    const size_t count = buffer.size() / sizeof(wchar_t);
    size_t length = 0;
    while (length < count && chars[length]) ++length;
    text.assign(chars, length);
    return true;
}

std::wstring GetDeviceId(DEVINST devinst)
{
    ULONG length = 0;
    CONFIGRET cr = ::CM_Get_Device_ID_Size(&length, devinst, 0);
    if (cr != CR_SUCCESS) throw my::CException(IDS_DEVICE_ID_SIZE_FAILED, ToHexWString(static_cast<unsigned>(cr)));
    // The size excludes the terminating NUL, which the call still writes.
    std::vector<wchar_t> buffer(length + 1, L'\0');
    cr = ::CM_Get_Device_IDW(devinst, buffer.data(), static_cast<ULONG>(buffer.size()), 0);
    if (cr != CR_SUCCESS) throw my::CException(IDS_DEVICE_ID_FAILED, ToHexWString(static_cast<unsigned>(cr)));
    return std::wstring(buffer.data());
}

void GetDeviceIdList(const std::wstring& filter, std::list<std::wstring>& ids)
{
    ULONG length = 0;
    CONFIGRET cr = ::CM_Get_Device_ID_List_SizeW(&length, filter.c_str(), CM_GETIDLIST_FILTER_REMOVALRELATIONS);
    if (cr != CR_SUCCESS) throw my::CException(IDS_DEVICE_ID_LIST_SIZE_FAILED, ToHexWString(static_cast<unsigned>(cr)));
    std::vector<wchar_t> buffer(length + 2, L'\0');
    cr = ::CM_Get_Device_ID_ListW(filter.c_str(), buffer.data(), static_cast<ULONG>(buffer.size()),
                                  CM_GETIDLIST_FILTER_REMOVALRELATIONS);
    if (cr != CR_SUCCESS) throw my::CException(IDS_DEVICE_ID_LIST_FAILED, ToHexWString(static_cast<unsigned>(cr)));
    SplitMultiString(buffer.data(), buffer.size(), ids);
}

void SplitMultiString(const wchar_t* buffer, size_t length, std::list<std::wstring>& items)
{
    size_t start = 0;
    while (start < length) {
        size_t end = start;
        while (end < length && buffer[end]) ++end;
        if (end == start) break; // an empty item ends the list
        items.emplace_back(buffer + start, end - start);
        start = end + 1;
    }
}
