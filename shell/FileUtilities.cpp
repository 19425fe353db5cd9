#include "shell/FileUtilities.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "foundation/LastError.h"
#include "foundation/UniqueHandle.h"
#include "ids/files.h"

#include <shlobj.h>

#include <cstdint>
#include <cstring>

namespace files {

namespace {

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

void DeleteFileOrThrow(const std::wstring& path) {
    if (!::DeleteFileW(path.c_str()))
        throw my::CException(IDS_DELETE_FILE_FAILED, LastErrorAsHResult(), path);
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
        throw my::CException(IDS_COPY_FILE_FAILED, LastErrorAsHResult(), from, to);
}

void MoveFileOrThrow(const std::wstring& from, const std::wstring& to, DWORD flags) {
    if (!::MoveFileExW(from.c_str(), to.c_str(), flags))
        throw my::CException(IDS_MOVE_FILE_FAILED, LastErrorAsHResult(), from, to);
}

void CreateEmptyFileOrThrow(const std::wstring& path) {
    const CUniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        throw my::CException(IDS_CREATE_FILE_FAILED, LastErrorAsHResult(), path);
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
