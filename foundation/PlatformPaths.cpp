#include "foundation/PlatformPaths.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/PathHelpers.h"
#include "foundation/ResString.h"
#include "ids/paths.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

namespace {

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

} // namespace

bool GetSpecialFolderPath(std::wstring& out, HWND owner, int csidl, bool create)
{
    out.clear();
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(owner, buffer, csidl, create ? TRUE : FALSE) || !buffer[0]) return false;
    out = buffer;
    return true;
}

bool GetModulePathFromCommandLine(std::wstring& out, const std::wstring& commandLine)
{
    out.clear();
    if (commandLine.empty()) return false;
    std::wstring name;
    if (commandLine[0] == L'"') {
        const size_t close = commandLine.find(L'"', 1);
        if (close == std::wstring::npos) return false;
        name = commandLine.substr(1, close - 1);
    } else {
        name = commandLine.substr(0, commandLine.find(L' '));
    }
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::SearchPathW(nullptr, name.c_str(), L".EXE", MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    out.assign(buffer, n);
    return true;
}

bool GetModulePathFromCommandLine(std::wstring& out)
{
    const wchar_t* commandLine = ::GetCommandLineW();
    return GetModulePathFromCommandLine(out, commandLine ? commandLine : L"");
}

bool GetModuleFolderFromCommandLine(std::wstring& out)
{
    if (!GetModulePathFromCommandLine(out)) return false;
    std::wstring name;
    SplitFileName(out, name);
    return true;
}

bool GetFullPath(std::wstring& out, const wchar_t* path)
{
    if (!path) return false;
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameW(path, MAX_PATH, buffer, nullptr);
    if (n == 0 || n >= MAX_PATH) return false;
    out.assign(buffer, n);
    return true;
}

void GetFullPathOrSelf(std::wstring& out, const std::wstring& path)
{
    if (path.empty()) {
        out.clear();
        return;
    }
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = ::GetFullPathNameW(path.c_str(), MAX_PATH, buffer, nullptr);
    if (n >= 1 && n < MAX_PATH)
        out.assign(buffer, n);
    else
        out = path;
}

bool GetLongFullPath(std::wstring& out, const wchar_t* path)
{
    std::wstring full(MAX_PATH, L'\0');
    DWORD n = ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
    if (n >= full.size()) {
        full.resize(n);
        n = ::GetFullPathNameW(path, static_cast<DWORD>(full.size()), full.data(), nullptr);
    }
    if (n == 0 || n >= full.size()) return false;
    full.resize(n);
    out.swap(full);
    return true;
}

// A current folder longer than the first buffer is read again with the size the system asked for.
bool GetCurrentFolder(std::wstring& out)
{
    std::vector<wchar_t> buffer(520);
    DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n >= buffer.size()) {
        buffer.resize(n);
        n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n >= buffer.size()) n = 0;
    }
    out.assign(buffer.data(), n);
    return n != 0;
}

bool GetTempFolderPath(std::wstring& out)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    DWORD n = ::GetTempPathW(MAX_PATH, buffer.data());
    if (n >= buffer.size()) {
        buffer.resize(n + 1);
        n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    if (n == 0 || n >= buffer.size()) {
        out.clear();
        return false;
    }
    out.assign(buffer.data(), n);
    return true;
}

HRESULT GetTempFolderPathHr(std::wstring& out)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD n = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
        if (n == 0) return LastErrorAsHResult();
        if (n < buffer.size()) {
            out.assign(buffer.data(), n);
            return S_OK;
        }
        buffer.resize(n);
    }
    return E_FAIL;
}

void GetTempFolderPathOrThrow(std::wstring& out)
{
    const HRESULT hr = GetTempFolderPathHr(out);
    if (FAILED(hr)) throw my::CException(IDS_TEMP_PATH_FAILED, hr);
}

void MakeUniqueFilePath(std::wstring& out, const std::wstring& folder, const std::wstring& base,
                        const std::wstring& suffix)
{
    for (unsigned long counter = 1; counter != 0; ++counter) {
        std::wstring path(folder);
        AppendPath(path, base + std::to_wstring(counter) + suffix);
        if (!::PathFileExistsW(path.c_str())) {
            out.swap(path);
            return;
        }
    }
    throw my::CException(IDS_TEMP_PATH_FAILED, E_FAIL);
}

bool PathExists(const std::wstring& path) { return ::PathFileExistsW(path.c_str()) != FALSE; }

bool IsExistingFile(const std::wstring& path) { return PathExists(path) && !::PathIsDirectoryW(path.c_str()); }

// A path whose last backslash is inner and single names a file: its folder is created.
// The shell answers "already exists" for a file as well as a folder, so that answer only
// counts when a folder really stands there.
bool CreateFolderTree(const std::wstring& path)
{
    if (path.empty()) return false;
    std::wstring folder(path);
    const size_t last = path.rfind(L'\\');
    if (last != std::wstring::npos && last + 1 != path.size() && last != 0 && path[last - 1] != L'\\')
        folder.erase(last + 1);
    const int result = ::SHCreateDirectory(nullptr, folder.c_str());
    if (result == ERROR_SUCCESS) return true;
    return result == ERROR_ALREADY_EXISTS && IsFolder(folder);
}

bool IsFloppyDrive(const std::wstring& path)
{
    if (path.size() < 2 || path[1] != L':') return false;
    const wchar_t c = path[0];
    if (c != L'a' && c != L'A' && c != L'b' && c != L'B') return false;
    return ::GetDriveTypeW(path.c_str()) == DRIVE_REMOVABLE;
}

bool CanonicalizePath(std::wstring& path)
{
    wchar_t buffer[520] = {};
    if (!::PathCanonicalizeW(buffer, path.c_str())) return false;
    path = buffer;
    return true;
}

bool MakeRelativePath(std::wstring& out, const std::wstring& fromFolder, const std::wstring& toFile)
{
    if (fromFolder.empty()) return false;
    wchar_t buffer[MAX_PATH] = {};
    if (!::PathRelativePathToW(buffer, fromFolder.c_str(), FILE_ATTRIBUTE_DIRECTORY, toFile.c_str(),
                               FILE_ATTRIBUTE_NORMAL))
        return false;
    out = buffer;
    return true;
}

bool ResolveRelativePath(std::wstring& out, const std::wstring& base, const std::wstring& relative)
{
    if (base.empty() || !::PathIsRelativeW(relative.c_str())) return false;
    std::wstring path(base);
    PathTransform(path, relative, L'\\');
    CanonicalizePath(path);
    out.swap(path);
    return true;
}

void ResolveExistingPathInPlace(std::wstring& path)
{
    DropTrailingSeparator(path);
    while (!path.empty()) {
        if (IsTopLevelPath(path) || ::PathFileExistsW(path.c_str())) break;
        GetParentPath(path, path);
    }
    AddSeparatorToDriveSpec(path);
}

std::wstring ResolveExistingPath(const std::wstring& path)
{
    std::wstring result(path);
    ResolveExistingPathInPlace(result);
    return result;
}
