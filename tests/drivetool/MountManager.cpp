#include "MountManager.h"

#include <winioctl.h>

#include <cstring>
#include <vector>

namespace {

// Layout of Wine's public ddk/mountmgr.h (the define-drive control is a Wine extension).
constexpr DWORD kMountMgrType = 0x0000006D;
constexpr DWORD kDefineUnixDrive = CTL_CODE(kMountMgrType, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

struct MountMgrUnixDrive {
    ULONG size;
    ULONG type;
    ULONG fs_type;
    DWORD serial;
    ULONGLONG unix_dev;
    WCHAR letter;
    USHORT mount_point_offset;
    USHORT device_offset;
    USHORT label_offset;
};
static_assert(sizeof(MountMgrUnixDrive) == 32, "mount manager structure layout");

constexpr ULONG kFsTypeFat32 = 2;

DWORD SendDefine(std::vector<char>& buffer)
{
    HANDLE mgr = ::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
    if (mgr == INVALID_HANDLE_VALUE) return ::GetLastError();
    DWORD error = ERROR_SUCCESS;
    DWORD returned = 0;
    if (!::DeviceIoControl(mgr, kDefineUnixDrive, buffer.data(), static_cast<DWORD>(buffer.size()), nullptr, 0,
                           &returned, nullptr)) {
        error = ::GetLastError();
        if (error == ERROR_SUCCESS) error = ERROR_GEN_FAILURE;
    }
    ::CloseHandle(mgr);
    return error;
}

// The mount manager takes the letter in lower case.
WCHAR LowerLetter(wchar_t letter) { return (letter >= L'A' && letter <= L'Z') ? letter - L'A' + L'a' : letter; }

} // namespace

DWORD DefineRemovableDrive(wchar_t letter, const std::string& unixFolder)
{
    return DefineDrive(letter, unixFolder, DRIVE_REMOVABLE);
}

DWORD DefineDrive(wchar_t letter, const std::string& unixFolder, UINT type)
{
    std::vector<char> buffer(sizeof(MountMgrUnixDrive) + unixFolder.size() + 1, 0);
    auto* drive = reinterpret_cast<MountMgrUnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = type;
    drive->fs_type = kFsTypeFat32;
    drive->letter = LowerLetter(letter);
    drive->mount_point_offset = sizeof(MountMgrUnixDrive);
    std::memcpy(buffer.data() + sizeof(MountMgrUnixDrive), unixFolder.c_str(), unixFolder.size());
    return SendDefine(buffer);
}

DWORD RemoveDriveDefinition(wchar_t letter)
{
    std::vector<char> buffer(sizeof(MountMgrUnixDrive), 0);
    auto* drive = reinterpret_cast<MountMgrUnixDrive*>(buffer.data());
    drive->size = static_cast<ULONG>(buffer.size());
    drive->type = DRIVE_NO_ROOT_DIR;
    drive->letter = LowerLetter(letter);
    return SendDefine(buffer);
}

std::string ToUnixPath(const std::wstring& path)
{
    using Fn = char*(__cdecl*)(LPCWSTR);
    auto fn = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name"));
    if (!fn) return {};
    char* unixPath = fn(path.c_str());
    if (!unixPath) return {};
    std::string result(unixPath);
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    return result;
}

std::wstring FromUnixPath(const std::string& unixPath)
{
    using Fn = WCHAR*(__cdecl*)(LPCSTR);
    auto fn = reinterpret_cast<Fn>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name"));
    if (!fn) return {};
    WCHAR* path = fn(unixPath.c_str());
    if (!path) return {};
    std::wstring result(path);
    ::HeapFree(::GetProcessHeap(), 0, path);
    return result;
}
