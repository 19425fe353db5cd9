#pragma once
// A URL cracked into its parts, and the operations on it: cracking, building, resolving a
// reference, comparing, and mapping to and from a relative local path.
#include <windows.h>

#include <ostream>
#include <string>

class CUrlComponents {
public:
    void Clear();
    const std::wstring& GetDirectory() const { return m_dir; }

    HRESULT Crack(const wchar_t* url);
    HRESULT Resolve(const CUrlComponents& base, const wchar_t* reference);
    HRESULT Build(std::wstring& out) const;
    void SetPathAndQuery(const wchar_t* pathAndQuery);
    void DeriveFileParts();

    bool IsSameServer(const CUrlComponents& other) const;
    int Locate(const CUrlComponents& other) const;
    bool Equals(const CUrlComponents& other) const;
    bool EqualsDecoded(const CUrlComponents& other) const;

    std::wstring GetExtensionLower() const;
    void WriteServer(std::wostream& out, bool withSlashes) const;
    void WriteDomainKey(std::wostream& out) const;
    HRESULT GetDirectoryHash(std::wstring& out, const std::wstring& prefix) const;
    void ToLocalPath(std::wstring& out, bool withServer) const;
    void FromLocalPath(const wchar_t* localPath, bool keepLast);

    std::wstring m_host;
    std::wstring m_url;
    std::wstring m_path;
    std::wstring m_port;
    std::wstring m_scheme;
    std::wstring m_extra;
    std::wstring m_dir;
    std::wstring m_fileName;
    std::wstring m_ext;

private:
    HRESULT ResolveWithoutScheme(const CUrlComponents& base, const std::wstring& reference);
    void SetPathAndExtra(const std::wstring& path, const std::wstring& extra);
};
