#include "UnixScript.h"

#include "tests/drivetool/MountManager.h"

std::wstring UnixPathOf(const std::wstring& path)
{
    const std::string unixPath = ToUnixPath(path);
    return std::wstring(unixPath.begin(), unixPath.end());
}

bool RunUnixScript(const std::wstring& script, const std::wstring& marker, DWORD ms)
{
    std::wstring command = L"/bin/sh -c \"" + script + L"; : > '" + UnixPathOf(marker) + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ::DeleteFileW(marker.c_str());
    if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return false;
    if (info.hThread) ::CloseHandle(info.hThread);
    if (info.hProcess) ::CloseHandle(info.hProcess);
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesW(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start >= ms) return false;
        ::Sleep(1);
    }
    ::DeleteFileW(marker.c_str());
    return true;
}
