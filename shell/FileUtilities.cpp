#include "shell/FileUtilities.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "foundation/LastError.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformPaths.h"
#include "foundation/ResString.h"
#include "foundation/UniqueHandle.h"
#include "ids/files.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <string_view>

namespace files {

namespace {

// A path handed to the shell ends with two NULs; text after an inner NUL is dropped.
std::wstring DoubleNul(const std::wstring& path)
{
    std::wstring text(path.c_str());
    text.push_back(L'\0');
    return text;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

// Named in full: a drive letter with its root, or a network or device path.
bool IsFullPath(const std::wstring& path)
{
    if (path.size() >= 3 && path[1] == L':' && IsSeparator(path[2])) return true;
    return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
}

// True when `text` at `at` starts with `prefix`, letters in any case (the system reads these prefixes so).
bool HasPrefixAt(const std::wstring& text, size_t at, const wchar_t* prefix)
{
    const size_t length = std::wcslen(prefix);
    return text.size() >= at + length && ::_wcsnicmp(text.c_str() + at, prefix, length) == 0;
}

// True when the canonical path is a drive root ("C:"), a share ("\\server\share") or shorter, once a
// "\\?\" or "\\.\" prefix is set aside; under such a prefix "UNC\server\share" and
// "GLOBALROOT\Device\<volume>" are roots as well.
bool IsRootOrAbove(std::wstring path)
{
    while (!path.empty() && IsSeparator(path.back())) path.pop_back();
    size_t at = 0;
    size_t names = 1; // components that make up the root
    const bool device = path.compare(0, 4, L"\\\\?\\") == 0 || path.compare(0, 4, L"\\\\.\\") == 0;
    if (device && HasPrefixAt(path, 4, L"UNC\\")) {
        at = 8;
        names = 2;
    } else if (device && HasPrefixAt(path, 4, L"GLOBALROOT\\")) {
        at = 15;
        names = 2;
    } else if (device) {
        at = 4;
    } else if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        at = 2;
        names = 2;
    }
    size_t components = 0;
    for (size_t i = at; i < path.size();) {
        const size_t end = path.find_first_of(L"\\/", i);
        if (end != i) ++components;
        if (end == std::wstring::npos) break;
        i = end + 1;
    }
    return components <= names;
}

// Windows leaves "." and ".." in a "\\?\" path as they stand (Wine folds them): such a path names a
// folder other than it seems to, perhaps a root.
bool HasDotComponent(const std::wstring& path)
{
    for (size_t i = 0; i <= path.size();) {
        const size_t end = std::min(path.find_first_of(L"\\/", i), path.size());
        const std::wstring_view name(path.data() + i, end - i);
        if (name == L"." || name == L"..") return true;
        i = end + 1;
    }
    return false;
}

// A silent recursive delete takes only one folder below a root, named in full: a relative path
// would depend on the current folder, and a root takes the whole drive with it.
bool IsSafeToDeleteSilently(const std::wstring& folder)
{
    if (!IsFullPath(folder)) return false;
    // The shell expands wildcards: "C:\*" is the whole drive by another name.
    const size_t prefix = folder.compare(0, 4, L"\\\\?\\") == 0 ? 4 : 0;
    if (folder.find_first_of(L"*?", prefix) != std::wstring::npos) return false;
    std::wstring full;
    if (!GetLongFullPath(full, folder.c_str())) return false;
    return !HasDotComponent(full) && !IsRootOrAbove(full);
}

} // namespace

bool IsEqualGuid(const GUID& a, const GUID& b)
{
    uint32_t x[4], y[4];
    std::memcpy(x, &a, sizeof(x));
    std::memcpy(y, &b, sizeof(y));
    return x[0] == y[0] && x[1] == y[1] && x[2] == y[2] && x[3] == y[3];
}

void DeleteFileOrThrow(const std::wstring& path)
{
    if (!::DeleteFileW(path.c_str())) throw my::CException(IDS_DELETE_FILE_FAILED, LastErrorAsHResult(), path);
}

void DeleteFolderOrThrow(const std::wstring& folder)
{
    if (folder.empty()) throw my::CException(IDS_DELETE_FOLDER_FAILED, std::wstring());
    if (!IsSafeToDeleteSilently(folder)) throw my::CException(IDS_DELETE_FOLDER_REFUSED, folder);
    const std::wstring from = DoubleNul(folder);
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    if (::SHFileOperationW(&op) != 0) throw my::CException(IDS_DELETE_FOLDER_FAILED, folder);
}

void CopyFileOrThrow(const std::wstring& from, const std::wstring& to, bool failIfExists)
{
    if (!::CopyFileW(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE))
        throw my::CException(IDS_COPY_FILE_FAILED, LastErrorAsHResult(), from, to);
}

void MoveFileOrThrow(const std::wstring& from, const std::wstring& to, DWORD flags)
{
    if (!::MoveFileExW(from.c_str(), to.c_str(), flags))
        throw my::CException(IDS_MOVE_FILE_FAILED, LastErrorAsHResult(), from, to);
}

void CreateEmptyFileOrThrow(const std::wstring& path)
{
    const CUniqueKernelHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) throw my::CException(IDS_CREATE_FILE_FAILED, LastErrorAsHResult(), path);
}

int DeleteFiles(const std::list<std::wstring>& paths, HWND owner, FILEOP_FLAGS flags, bool* aborted)
{
    std::wstring from;
    ListToMultiString(paths, from);
    SHFILEOPSTRUCTW op = {};
    op.hwnd = owner;
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = flags;
    const int result = ::SHFileOperationW(&op);
    if (aborted) *aborted = op.fAnyOperationsAborted != FALSE;
    return result;
}

int DeleteFile(const wchar_t* path, HWND owner, FILEOP_FLAGS flags, bool* aborted)
{
    return DeleteFiles(std::list<std::wstring>(1, path ? path : L""), owner, flags, aborted);
}

HRESULT FileOperation(const std::wstring& to, const std::list<std::wstring>& from, HWND owner, UINT func,
                      FILEOP_FLAGS flags)
{
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
