#pragma once
// A private folder under the temporary folder, made per test and removed with all it holds.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>

class CTempFolder {
public:
    CTempFolder()
    {
        wchar_t base[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, base);
        for (unsigned n = ::GetTickCount() ^ ::GetCurrentProcessId();; ++n) {
            m_path = std::wstring(base) + L"fh-xml-" + std::to_wstring(n);
            if (::CreateDirectoryW(m_path.c_str(), nullptr)) break;
            if (::GetLastError() != ERROR_ALREADY_EXISTS) {
                ADD_FAILURE() << "cannot create a temporary folder";
                break;
            }
        }
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;
    ~CTempFolder()
    {
        std::wstring from = m_path;
        from.push_back(L'\0');
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
        ::SHFileOperationW(&op);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(m_path.c_str())) << "temporary folder left behind";
    }

    std::wstring Path(const std::wstring& name) const { return m_path + L"\\" + name; }
    const std::wstring& Path() const { return m_path; }

    // Writes raw bytes with plain Win32 calls, independent of the code under test.
    void WriteFile(const std::wstring& name, const std::string& bytes) const
    {
        HANDLE h = ::CreateFileW(Path(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h);
        DWORD written = 0;
        ::WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        ::CloseHandle(h);
        ASSERT_EQ(bytes.size(), written);
    }

    std::string ReadFile(const std::wstring& name) const
    {
        std::string bytes;
        HANDLE h = ::CreateFileW(Path(name).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
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
