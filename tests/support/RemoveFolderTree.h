#pragma once
#include <windows.h>

#include <string>

// Removes a folder and everything in it (read-only files too); true when it is gone.
inline bool RemoveFolderTree(const std::wstring& folder)
{
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring path = folder + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveFolderTree(path);
            else if (!::DeleteFileW(path.c_str()) && ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL))
                ::DeleteFileW(path.c_str()); // a read-only file
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    }
    return ::RemoveDirectoryW(folder.c_str()) || ::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
}
