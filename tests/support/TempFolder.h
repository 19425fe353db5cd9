#pragma once
// A private folder under the temporary folder, made per test and removed with all it holds.
#include "tests/support/RemoveFolderTree.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class CTempFolder {
public:
    CTempFolder()
    {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
            m_path = std::wstring(base) + L"fh-test-" + std::to_wstring(n);
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
            if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                ADD_FAILURE() << "cannot create a temporary folder";
                break;
            }
        }
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    // Removal failed now and then while other test programs ran in parallel: it is retried for a
    // while.
    ~CTempFolder()
    {
        for (int attempt = 0; attempt < 40 && !RemoveFolderTree(m_path); ++attempt) ::Sleep(50);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(m_path.c_str())) << "temporary folder left behind";
    }

    std::wstring Path(const std::wstring& name) const { return m_path + L"\\" + name; }
    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return Path(name); }

    // Writes raw bytes with plain Win32 calls, independent of the code under test; parent
    // folders inside the temporary folder are made. Returns the file's path.
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const
    {
        const std::wstring path = Path(name);
        for (size_t at = m_path.size() + 1; (at = path.find(L'\\', at)) != std::wstring::npos; ++at)
            ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(h);
        EXPECT_EQ(bytes.size(), written);
        return path;
    }

    std::string ReadFile(const std::wstring& name) const { return ReadBytes(Path(name)); }

    static std::string ReadBytes(const std::wstring& path)
    {
        std::string bytes;
        HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return bytes;
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
        ::CloseHandle(h);
        return bytes;
    }

private:
    std::wstring m_path;
};
