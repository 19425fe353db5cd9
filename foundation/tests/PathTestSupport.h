#pragma once
// Test support for the path and file tests: a private temporary folder per test, and string-table
// lookups in a given language.
#include "tests/support/TempFolder.h"
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

// A fresh folder under the temporary folder, removed with everything in it on destruction.
class CScratchFolder {
public:
    CScratchFolder() {
        wchar_t temp[MAX_PATH + 1] = {};
        const DWORD n = ::GetTempPathW(MAX_PATH + 1, temp);
        std::wstring base(temp, n);
        if (!base.empty() && base.back() != L'\\')
            base += L'\\';
        for (unsigned i = 0;; ++i) {
            m_path = base + L"fhpaths-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                     std::to_wstring(::GetTickCount()) + L"-" + std::to_wstring(i);
            if (::CreateDirectoryW(m_path.c_str(), nullptr))
                break;
        }
    }
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;
    ~CScratchFolder() { Remove(); }

    const std::wstring& Path() const { return m_path; }
    std::wstring Path(const std::wstring& relative) const { return m_path + L"\\" + relative; }

    void MakeFolder(const std::wstring& relative) const {
        ASSERT_TRUE(::CreateDirectoryW(Path(relative).c_str(), nullptr)) << ::GetLastError();
    }
    void MakeFile(const std::wstring& relative, const std::string& content = std::string()) const {
        const HANDLE h = ::CreateFileW(Path(relative).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << ::GetLastError();
        DWORD written = 0;
        if (!content.empty())
            ::WriteFile(h, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
        ::CloseHandle(h);
    }
    std::string ReadFile(const std::wstring& relative) const {
        const HANDLE h = ::CreateFileW(Path(relative).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return "<missing>";
        std::string content(4096, '\0');
        DWORD read = 0;
        ::ReadFile(h, content.data(), static_cast<DWORD>(content.size()), &read, nullptr);
        ::CloseHandle(h);
        content.resize(read);
        return content;
    }
    bool IsFolder(const std::wstring& relative) const {
        const DWORD a = ::GetFileAttributesW(Path(relative).c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool IsFile(const std::wstring& relative) const {
        const DWORD a = ::GetFileAttributesW(Path(relative).c_str());
        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
    }
    bool Exists(const std::wstring& relative) const {
        return ::GetFileAttributesW(Path(relative).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Number of entries directly in the folder (or in `relative` below it).
    int CountEntries(const std::wstring& relative = std::wstring()) const {
        WIN32_FIND_DATAW data;
        const HANDLE h =
            ::FindFirstFileW(((relative.empty() ? m_path : Path(relative)) + L"\\*").c_str(), &data);
        if (h == INVALID_HANDLE_VALUE)
            return -1;
        int count = 0;
        do {
            const std::wstring name = data.cFileName;
            if (name != L"." && name != L"..")
                ++count;
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
        return count;
    }

    // Removes the folder; true when nothing of it is left.
    bool Remove() {
        if (m_path.empty())
            return true;
        RemoveFolderTree(m_path);
        const bool gone = ::GetFileAttributesW(m_path.c_str()) == INVALID_FILE_ATTRIBUTES;
        m_path.clear();
        return gone;
    }

private:

    std::wstring m_path;
};

// Fixture: one scratch folder per test, checked to be gone afterwards.
class ScratchTest : public testing::Test {
protected:
    void TearDown() override { EXPECT_TRUE(m_scratch.Remove()) << "scratch folder left behind"; }
    CScratchFolder m_scratch;
};

// The string-table entry `id` in one language (empty when that language lacks it).
inline std::wstring LoadStringInLanguage(UINT id, WORD language) {
    const HMODULE module = ::GetModuleHandleW(nullptr);
    const HRSRC block = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
    if (!block)
        return std::wstring();
    const HGLOBAL loaded = ::LoadResource(module, block);
    auto p = static_cast<const WORD*>(::LockResource(loaded));
    if (!p)
        return std::wstring();
    for (UINT i = 0; i < id % 16; ++i)
        p += 1 + *p;
    return std::wstring(reinterpret_cast<const wchar_t*>(p + 1), *p);
}

inline void ExpectStringInBothLanguages(UINT id) {
    EXPECT_FALSE(LoadStringInLanguage(id, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)).empty()) << "ja " << id;
    EXPECT_FALSE(LoadStringInLanguage(id, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)).empty())
        << "en " << id;
}
