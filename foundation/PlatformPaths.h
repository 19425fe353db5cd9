#pragma once
// Path operations that ask the operating system: special folders, module and temporary paths,
// full and canonical forms, existence, folder creation and relative paths.
#include <windows.h>

#include <string>

bool GetSpecialFolderPath(std::wstring& out, HWND owner, int csidl, bool create);
bool GetModulePathFromCommandLine(std::wstring& out);
bool GetModuleFolderFromCommandLine(std::wstring& out);
// Takes the program name from `commandLine` instead of the process's own command line.
bool GetModulePathFromCommandLine(std::wstring& out, const std::wstring& commandLine);

bool GetFullPath(std::wstring& out, const wchar_t* path);
void GetFullPathOrSelf(std::wstring& out, const std::wstring& path);
// The full path however long it is (GetFullPath stops at MAX_PATH); false when the system cannot make it.
bool GetLongFullPath(std::wstring& out, const wchar_t* path);
bool GetCurrentFolder(std::wstring& out);

bool GetTempFolderPath(std::wstring& out);
HRESULT GetTempFolderPathHr(std::wstring& out);
void GetTempFolderPathOrThrow(std::wstring& out);
void MakeUniqueFilePath(std::wstring& out, const std::wstring& folder, const std::wstring& base,
                        const std::wstring& suffix);

bool PathExists(const std::wstring& path);
bool IsExistingFile(const std::wstring& path);
bool CreateFolderTree(const std::wstring& path);
bool IsFloppyDrive(const std::wstring& path);

bool CanonicalizePath(std::wstring& path);
bool MakeRelativePath(std::wstring& out, const std::wstring& fromFolder, const std::wstring& toFile);
bool ResolveRelativePath(std::wstring& out, const std::wstring& base, const std::wstring& relative);
std::wstring ResolveExistingPath(const std::wstring& path);
void ResolveExistingPathInPlace(std::wstring& path);
