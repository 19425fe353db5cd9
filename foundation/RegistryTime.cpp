#include "foundation/RegistryTime.h"

#include "foundation/UniqueHandle.h"

namespace {

const wchar_t kLowName[] = L"LowDateTime";
const wchar_t kHighName[] = L"HighDateTime";

} // namespace

LONG RegQueryDword(HKEY key, const wchar_t* name, DWORD& out)
{
    // Read into a local: a short string value would otherwise leave its bytes in `out`.
    DWORD value = 0, type = 0, size = sizeof(value);
    const LONG error = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    if (error == ERROR_MORE_DATA) return ERROR_INVALID_DATA;
    if (error != ERROR_SUCCESS) return error;
    if (type != REG_DWORD || size != sizeof(value)) return ERROR_INVALID_DATA;
    out = value;
    return ERROR_SUCCESS;
}

bool RegQueryDwordOk(HKEY key, const wchar_t* name, DWORD& out)
{
    return RegQueryDword(key, name, out) == ERROR_SUCCESS;
}

LONG RegSetDword(HKEY key, const wchar_t* name, DWORD value)
{
    return ::RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

bool RegSetDwordOk(HKEY key, const wchar_t* name, DWORD value)
{
    return RegSetDword(key, name, value) == ERROR_SUCCESS;
}

bool RegQueryFileTime(FILETIME& out, const wchar_t* subkey, HKEY parent)
{
    CUniqueRegKey key;
    if (::RegOpenKeyExW(parent, subkey, 0, KEY_READ, key.Put()) != ERROR_SUCCESS) return false;
    FILETIME ft = {};
    if (!RegQueryDwordOk(key.Get(), kLowName, ft.dwLowDateTime)) return false;
    if (!RegQueryDwordOk(key.Get(), kHighName, ft.dwHighDateTime)) return false;
    out = ft;
    return true;
}

bool RegSetFileTime(const FILETIME& ft, const wchar_t* subkey, HKEY parent)
{
    CUniqueRegKey key;
    if (::RegCreateKeyExW(parent, subkey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.Put(), nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    const bool low = RegSetDwordOk(key.Get(), kLowName, ft.dwLowDateTime);
    const bool high = RegSetDwordOk(key.Get(), kHighName, ft.dwHighDateTime);
    return low && high;
}
