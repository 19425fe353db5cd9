#pragma once
// The trees the manifest's tables give each source, their copies as the shell's copy makes them,
// and what other programs do to them.
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// The tree every source of the manifest's tables holds.
inline void WriteTree(const CTempFolder& temp, const std::wstring& folder)
{
    temp.WriteFile(folder + L"\\a.jpg", "1234");
    temp.WriteFile(folder + L"\\sub\\b.jpg", "56");
}

inline FILETIME LastWriteTime(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    EXPECT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) << path;
    return data.ftLastWriteTime;
}

inline void SetLastWriteTime(const std::wstring& path, const FILETIME& written)
{
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &written)) << path;
    ::CloseHandle(file);
}

// Moves a file's last-write time on by `ticks` (100 ns each), however fast its last write came.
inline void MoveLastWriteTime(const std::wstring& path, ULONGLONG ticks)
{
    const FILETIME written = LastWriteTime(path);
    ULARGE_INTEGER time{{written.dwLowDateTime, written.dwHighDateTime}};
    time.QuadPart += ticks;
    SetLastWriteTime(path, {time.LowPart, time.HighPart});
}

inline void CopyTime(const std::wstring& from, const std::wstring& to) { SetLastWriteTime(to, LastWriteTime(from)); }

// The copy of source `name` of WriteTree as the shell's copy makes it: with each card file's
// last-write time (measured under Wine: SHFileOperationW's copy keeps it).
inline void CopyTree(const CTempFolder& temp, const std::wstring& name)
{
    WriteTree(temp, L"dst\\" + name);
    for (const wchar_t* file : {L"\\a.jpg", L"\\sub\\b.jpg"})
        CopyTime(temp / (L"src\\" + name + file), temp / (L"dst\\" + name + file));
}

// Rewrites a card file in place at its size and puts its last-write time back, as a tag editor's
// "keep the date" does.
inline void RewriteKeepingTime(const CTempFolder& temp, const std::wstring& path, const char* bytes)
{
    const FILETIME written = LastWriteTime(path);
    temp.WriteFile(path.substr(temp.Path().size() + 1), bytes);
    SetLastWriteTime(path, written);
}

// A folder held open by another program that shares nothing: it cannot be listed meanwhile.
inline HANDLE HoldFolder(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}
