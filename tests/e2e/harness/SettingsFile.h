#pragma once
// The program's settings file written by a test before the program starts; the file that was
// there before is put back (or the test's file removed) afterwards.
#include <windows.h>

#include <string>

struct ExecValues {
    DWORD flags = 0;
    std::wstring srcFolder = L"\\DCIM";
    std::wstring srcFname = L"^[0-9]{3}[A-Z_]{5}$";
    std::wstring dstFolder;
};

class CSettingsFile {
public:
    CSettingsFile();
    ~CSettingsFile();
    CSettingsFile(const CSettingsFile&) = delete;
    CSettingsFile& operator=(const CSettingsFile&) = delete;

    // Writes the file with these values and a normal window at `bounds` (empty: the system's place).
    bool Write(const ExecValues& exec, const RECT& bounds = RECT{0, 0, 0, 0});
    std::string ReadBytes() const;
    const std::wstring& Path() const { return m_path; }

    // The UTF-8 text of the first element `name` of the file (entities decoded), empty when none.
    static std::string ElementText(const std::string& xml, const std::string& name);

private:
    std::wstring m_path;
    bool m_hadFile = false;
    std::string m_previous;
};

std::string ToUtf8(const std::wstring& text);
