#pragma once
// Drive letters defined over Linux folders through Wine's mount manager.
#include <windows.h>

#include <string>

// Defines `letter` as a removable drive over the Linux folder `unixFolder`; returns a Win32 error.
DWORD DefineRemovableDrive(wchar_t letter, const std::string& unixFolder);
// As DefineRemovableDrive, a drive of `type` (DRIVE_FIXED for a USB hard disk).
DWORD DefineDrive(wchar_t letter, const std::string& unixFolder, UINT type);

// Removes the definition of `letter`; returns a Win32 error.
DWORD RemoveDriveDefinition(wchar_t letter);

// The Linux path of a Windows path (Wine's own kernel32 export); empty when unknown.
std::string ToUnixPath(const std::wstring& path);

// The Windows path of a Linux path (Wine's own kernel32 export); empty when unknown.
std::wstring FromUnixPath(const std::string& unixPath);
