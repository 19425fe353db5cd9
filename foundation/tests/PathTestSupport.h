#pragma once
// Test support for the path and file tests: the shared temporary folder with helpers to build
// and inspect it, and string-table lookups in a given language.
#include "tests/support/TempFolder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class CScratchFolder : public CTempFolder {
public:
    void MakeFolder(const std::wstring& relative) const
    {
        ASSERT_TRUE(::CreateDirectoryW(Path(relative).c_str(), nullptr)) << ::GetLastError();
    }
    void MakeFile(const std::wstring& relative, const std::string& content = std::string()) const
    {
        WriteFile(relative, content);
    }
    // "<missing>" tells a missing file from an empty one.
    std::string ReadFile(const std::wstring& relative) const
    {
        return IsFile(relative) ? CTempFolder::ReadFile(relative) : "<missing>";
    }
    bool IsFolder(const std::wstring& relative) const
    {
        const DWORD a = ::GetFileAttributesW(Path(relative).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool IsFile(const std::wstring& relative) const
    {
        const DWORD a = ::GetFileAttributesW(Path(relative).c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Exists(const std::wstring& relative) const
    {
        return ::GetFileAttributesW(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Number of entries directly in the folder (or in `relative` below it); -1 when it is missing.
    int CountEntries(const std::wstring& relative = std::wstring()) const
    {
        WIN32_FIND_DATAW data;
        const HANDLE h = ::FindFirstFileW(((relative.empty() ? Path() : Path(relative)) + L"\\*").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE) return -1;
        int count = 0;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..") ++count;
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
        return count;
    }
};

// Fixture: one scratch folder per test, checked to be gone afterwards.
class ScratchTest : public testing::Test {
protected:
    CScratchFolder m_scratch;
};

// The string-table entry `id` in one language (empty when that language lacks it).
inline std::wstring LoadStringInLanguage(UINT id, WORD language)
{
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC block = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    auto p = block ? static_cast<const WORD*>(::LockResource(::LoadResource(module, block))) : nullptr;
    if (!p) return std::wstring();
    for (UINT i = 0; i < id % 16; ++i) p += 1 + *p;
    return std::wstring(reinterpret_cast<const wchar_t*>(p + 1), *p);
}
