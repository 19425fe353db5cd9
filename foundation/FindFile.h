#pragma once
// An open folder search over the platform's find-file handle.
#include <windows.h>

#include <string>

class CFindFile {
public:
    CFindFile() = default;
    CFindFile(const CFindFile&) = delete;
    CFindFile& operator=(const CFindFile&) = delete;
    ~CFindFile() { Close(); }

    // Opens a search for `name` (null: "*.*") with FindFirstFileW; any open search is closed first.
    bool FindFile(const wchar_t* name = nullptr);
    bool FindNextFile();
    void Close();

    bool IsFound() const { return m_found; }
    bool IsDirectory() const { return (m_data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    // "." or "..", which a search of a folder returns before its own entries.
    bool IsDots() const;
    DWORD GetAttributes() const { return m_data.dwFileAttributes; }
    const wchar_t* GetFileName() const { return m_data.cFileName; }
    const WIN32_FIND_DATAW& GetData() const { return m_data; }
    const std::wstring& GetRoot() const { return m_root; }
    std::wstring GetFilePath() const;

private:
    friend bool FindFirstFolder(CFindFile& finder, const wchar_t* name);
    bool SetRoot(const wchar_t* name);

    WIN32_FIND_DATAW m_data = {};
    // As long as the search text needs: a folder deeper than MAX_PATH is still listed.
    std::wstring m_root;
    wchar_t m_separator = L'\\';
    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_found = false;
};

// Like CFindFile::FindFile, but asks the system for folders only (advisory: test IsDirectory).
bool FindFirstFolder(CFindFile& finder, const wchar_t* name);
