#pragma once
// A private temporary folder made for one test and removed, with everything in it, afterwards.
#include <windows.h>

#include <string>

class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::wstring& Path() const { return m_path; }
    std::wstring operator/(const std::wstring& name) const { return m_path + L"\\" + name; }

    // Writes `bytes` to the file `name` (relative to the folder; parent folders are made).
    std::wstring WriteFile(const std::wstring& name, const std::string& bytes) const;
    static std::string ReadFile(const std::wstring& path);

private:
    std::wstring m_path;
};
