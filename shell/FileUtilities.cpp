#include "shell/FileUtilities.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "foundation/PathHelpers.h"
#include "foundation/ResString.h"
#include "ids/files.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <cstdint>
#include <cstring>

namespace files {

namespace {

HRESULT LastErrorHr() {
    const DWORD code = ::GetLastError();
    return code ? HResultFromWin32(code) : E_FAIL;
}

[[noreturn]] void ThrowWithCode(UINT id, HRESULT hr, const std::wstring& a1,
                                const std::wstring* a2 = nullptr) {
    CSimpleErr err;
    err.SetWithCode(id, hr, &a1, a2);
    throw my::CException(err);
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A path handed to the shell ends with two NULs; text after an inner NUL is dropped.
std::wstring DoubleNul(const std::wstring& path) {
    std::wstring text(path.c_str());
    text.push_back(L'\0');
    return text;
}

} // namespace

bool IsEqualGuid(const GUID& a, const GUID& b) {
    uint32_t x[4], y[4];
    std::memcpy(x, &a, sizeof(x));
    std::memcpy(y, &b, sizeof(y));
    return x[0] == y[0] && x[1] == y[1] && x[2] == y[2] && x[3] == y[3];
}

bool IsDriveRoot(const std::wstring& path) {
    return ::IsDriveRoot(path);
}

bool PathExists(const std::wstring& path) {
    return ::PathFileExistsW(path.c_str()) != FALSE;
}

// The shell answers "already exists" for a file as well as a folder; only a folder counts.
DWORD CreateFolderTree(const std::wstring& folder) {
    if (IsDriveRoot(folder))
        return PathExists(folder) ? ERROR_SUCCESS : ERROR_ACCESS_DENIED;
    const int result = ::SHCreateDirectory(nullptr, folder.c_str());
    if (result == ERROR_ALREADY_EXISTS)
        return IsFolder(folder) ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
    return static_cast<DWORD>(result);
}

void CreateFolderOrThrow(const std::wstring& folder) {
    const DWORD error = CreateFolderTree(folder);
    if (error != ERROR_SUCCESS)
        ThrowWithCode(IDS_CREATE_FOLDER_FAILED, HResultFromWin32(error), folder);
}

namespace {

// The folder part of `path`; false when the path names no file.
bool SplitParent(const std::wstring& path, std::wstring& folder) {
    folder = path;
    std::wstring name;
    return SplitFileName(folder, name) && !name.empty();
}

} // namespace

DWORD CreateParentFolder(const std::wstring& path) {
    std::wstring folder;
    if (!SplitParent(path, folder))
        return ERROR_BAD_PATHNAME;
    return CreateFolderTree(folder);
}

void CreateParentFolderOrThrow(const std::wstring& path) {
    std::wstring folder;
    if (!SplitParent(path, folder))
        ThrowWithCode(IDS_CREATE_FOLDER_FAILED, HResultFromWin32(ERROR_BAD_PATHNAME), path);
    const DWORD error = CreateFolderTree(folder);
    if (error != ERROR_SUCCESS)
        ThrowWithCode(IDS_CREATE_FOLDER_FAILED, HResultFromWin32(error), folder);
}

void DeleteFileOrThrow(const std::wstring& path) {
    if (!::DeleteFileW(path.c_str()))
        ThrowWithCode(IDS_DELETE_FILE_FAILED, LastErrorHr(), path);
}

void DeleteFolderOrThrow(const std::wstring& folder) {
    if (folder.empty())
        throw my::CException(IDS_DELETE_FOLDER_FAILED, std::wstring());
    const std::wstring from = DoubleNul(folder);
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    if (::SHFileOperationW(&op) != 0)
        throw my::CException(IDS_DELETE_FOLDER_FAILED, folder);
}

void CopyFileOrThrow(const std::wstring& from, const std::wstring& to, bool failIfExists) {
    if (!::CopyFileW(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE))
        ThrowWithCode(IDS_COPY_FILE_FAILED, LastErrorHr(), from, &to);
}

void MoveFileOrThrow(const std::wstring& from, const std::wstring& to, DWORD flags) {
    if (!::MoveFileExW(from.c_str(), to.c_str(), flags))
        ThrowWithCode(IDS_MOVE_FILE_FAILED, LastErrorHr(), from, &to);
}

void CreateEmptyFileOrThrow(const std::wstring& path) {
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        ThrowWithCode(IDS_CREATE_FILE_FAILED, LastErrorHr(), path);
    ::CloseHandle(file);
}

int DeleteFiles(const std::list<std::wstring>& paths, HWND owner, FILEOP_FLAGS flags, bool* aborted) {
    std::wstring from;
    ListToMultiString(paths, from);
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = flags;
    const int result = ::SHFileOperationW(&op);
    if (aborted)
        *aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

int DeleteFile(const wchar_t* path, HWND owner, FILEOP_FLAGS flags, bool* aborted) {
    return DeleteFiles(std::list<std::wstring>(1, path ? path : L""), owner, flags, aborted);
}

HRESULT FileOperation(const std::wstring& to, const std::list<std::wstring>& from, HWND owner, UINT func,
                      FILEOP_FLAGS flags) {
    std::wstring source;
    ListToMultiString(from, source);
    const std::wstring target = DoubleNul(to);
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = func;
    op.pFrom = source.c_str();
    op.pTo = target.c_str();
    op.fFlags = flags;
    return ::SHFileOperationW(&op) == 0 ? S_OK : E_FAIL;
}

} // namespace files
