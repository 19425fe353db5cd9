#pragma once
// Making folders (and their parents) through the shell, as a system error code or by throwing
// my::CException with its message. In their own namespace: the global CreateFolderTree,
// PathExists and IsDriveRoot of the path helpers give other results.
#include <windows.h>

#include <string>

namespace files {

bool IsDriveRoot(const std::wstring& path);
bool PathExists(const std::wstring& path);

// System error code, 0 when the folder and all its parents stand.
DWORD CreateFolderTree(const std::wstring& folder);
void CreateFolderOrThrow(const std::wstring& folder);
DWORD CreateParentFolder(const std::wstring& path);
void CreateParentFolderOrThrow(const std::wstring& path);

} // namespace files
