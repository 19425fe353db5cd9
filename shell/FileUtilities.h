#pragma once
// Free functions over files and folders that return a system error or HRESULT, or throw
// my::CException with their message. In their own namespace: some names (CreateFolderTree,
// PathExists, IsDriveRoot) also exist in the foundation library with other results. Folder
// creation lives in the foundation, which the message prompts use as well.
#include "foundation/FolderCreation.h"

#include <windows.h>

#include <shellapi.h>

#include <list>
#include <string>

namespace files {

bool IsEqualGuid(const GUID& a, const GUID& b);

void DeleteFileOrThrow(const std::wstring& path);
// Deletes the folder and everything in it, without questions or progress.
void DeleteFolderOrThrow(const std::wstring& folder);
void CopyFileOrThrow(const std::wstring& from, const std::wstring& to, bool failIfExists);
void MoveFileOrThrow(const std::wstring& from, const std::wstring& to, DWORD flags);
void CreateEmptyFileOrThrow(const std::wstring& path);

// The shell's delete; results are SHFileOperationW's.
int DeleteFiles(const std::list<std::wstring>& paths, HWND owner, FILEOP_FLAGS flags, bool* aborted);
// (windows.h turns this name into DeleteFileW; the one-argument system call stays ::DeleteFileW.)
int DeleteFile(const wchar_t* path, HWND owner, FILEOP_FLAGS flags, bool* aborted);
HRESULT FileOperation(const std::wstring& to, const std::list<std::wstring>& from, HWND owner, UINT func,
                      FILEOP_FLAGS flags);

} // namespace files
