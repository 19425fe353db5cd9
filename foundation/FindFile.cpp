#include "foundation/FindFile.h"

#include "foundation/PlatformPaths.h"

bool CFindFile::IsDots() const
{
    const wchar_t* n = m_data.cFileName;
    return IsDirectory() && n[0] == L'.' && (n[1] == L'\0' || (n[1] == L'.' && n[2] == L'\0'));
}

std::wstring CFindFile::GetFilePath() const
{
    std::wstring path(m_root);
    if (!path.empty()) path += m_separator;
    return path += m_data.cFileName;
}

// The root is the full path of the search text cut at its last separator.
bool CFindFile::SetRoot(const wchar_t* name)
{
    m_root.clear();
    std::wstring full;
    if (!GetLongFullPath(full, name)) return false;
    const size_t last = full.find_last_of(L"\\/");
    if (last != std::wstring::npos) full.resize(last);
    m_root.swap(full);
    return true;
}

bool CFindFile::FindFile(const wchar_t* name)
{
    Close();
    if (!name) name = L"*.*";
    m_handle = ::FindFirstFileW(name, &m_data);
    if (m_handle == INVALID_HANDLE_VALUE) return false;
    if (!SetRoot(name)) {
        Close();
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    m_found = true;
    return true;
}

bool CFindFile::FindNextFile()
{
    if (m_handle == INVALID_HANDLE_VALUE) return false;
    m_found = ::FindNextFileW(m_handle, &m_data) != FALSE;
    return m_found;
}

void CFindFile::Close()
{
    m_found = false;
    if (m_handle != INVALID_HANDLE_VALUE) {
        ::FindClose(m_handle);
        m_handle = INVALID_HANDLE_VALUE;
    }
}

bool FindFirstFolder(CFindFile& finder, const wchar_t* name)
{
    finder.Close();
    if (!name) name = L"*.*";
    if (!finder.SetRoot(name)) {
        ::SetLastError(ERROR_INVALID_NAME);
        return false;
    }
    finder.m_handle = ::FindFirstFileExW(name, FindExInfoStandard, &finder.m_data, FindExSearchLimitToDirectories,
                                         nullptr, 0);
    if (finder.m_handle == INVALID_HANDLE_VALUE) return false;
    finder.m_found = true;
    return true;
}
