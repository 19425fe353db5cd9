#include "foundation/FolderCreation.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/PathHelpers.h"
#include "ids/files.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace files {

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The folder part of `path`; false when the path names no file.
bool SplitParent(const std::wstring& path, std::wstring& folder)
{
    folder = path;
    std::wstring name;
    return SplitFileName(folder, name) && !name.empty();
}

} // namespace

bool IsDriveRoot(const std::wstring& path) { return ::IsDriveRoot(path); }

bool PathExists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

// The shell answers "already exists" for a file as well as a folder; only a folder counts.
DWORD CreateFolderTree(const std::wstring& folder)
{
    if (IsDriveRoot(folder)) return PathExists(folder) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    const int result = ::SHCreateDirectory(nullptr, folder.c_str());
    if (result == ERROR_ALREADY_EXISTS) return IsFolder(folder) ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
    return static_cast<DWORD>(result);
}

void CreateFolderOrThrow(const std::wstring& folder)
{
    const DWORD error = CreateFolderTree(folder);
    if (error != ERROR_SUCCESS) throw my::CException(IDS_CREATE_FOLDER_FAILED, FailureFromWin32(error), folder);
}

DWORD CreateParentFolder(const std::wstring& path)
{
    std::wstring folder;
    if (!SplitParent(path, folder)) return ERROR_BAD_PATHNAME;
    return CreateFolderTree(folder);
}

void CreateParentFolderOrThrow(const std::wstring& path)
{
    std::wstring folder;
    if (!SplitParent(path, folder))
        throw my::CException(IDS_CREATE_FOLDER_FAILED, FailureFromWin32(ERROR_BAD_PATHNAME), path);
    CreateFolderOrThrow(folder);
}

} // namespace files
