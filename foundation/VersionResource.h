#pragma once
// Reads the version resource of a file: string values and the product version as numbers.
#include <windows.h>

#include <shlwapi.h>

#include <string>
#include <vector>

class CFileVersionInfo {
public:
    // Reads the version block of path; throws when the file has none.
    void Load(const std::wstring& path);

    bool QueryValue(const std::wstring& subBlock, void*& data, UINT& length) const;
    // The value's length as a count of 32-bit values (0 when the query fails).
    UINT QueryValueCount(const std::wstring& subBlock, void*& data) const;
    bool QueryValue(const std::wstring& subBlock) const;

    std::wstring QueryString(const std::wstring& prefix, const std::wstring& key) const;
    std::wstring GetProductVersion() const;
    std::wstring GetLegalNotice() const;

    void GetVersionNumbers(std::vector<DWORD>& out, size_t count) const;
    void GetVersionQuad(WORD (&parts)[4]) const;
    void GetDllVersion(DLLVERSIONINFO& info) const;

    const std::wstring& GetPath() const { return m_path; }

private:
    std::wstring m_path;
    std::vector<BYTE> m_block;
};
