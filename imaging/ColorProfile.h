#pragma once
// One ICC colour profile opened through the system's colour management: its bytes, the open
// handle, the 128-byte header and its description as its name.
#include <windows.h>

#include <icm.h>

#include <boost/shared_ptr.hpp>

#include <ostream>
#include <string>
#include <vector>

class CColorContext;

class CNameImpl {
public:
    virtual ~CNameImpl() = default;
    const std::wstring& GetName() const { return m_name; }
    void SetName(const std::wstring& name) { m_name = name; }

protected:
    std::wstring m_name;
};

class CColorProfile : public CNameImpl {
public:
    CColorProfile() { ZeroMemory(&m_header, sizeof(m_header)); }
    CColorProfile(const CColorProfile& other);
    CColorProfile& operator=(const CColorProfile& other);
    ~CColorProfile() override;

    virtual HRESULT Open(const BYTE* data, UINT size);
    // A name with a backslash is a path; any other name is looked up in the colour folder.
    virtual HRESULT Open(const std::wstring& name);
    // S_FALSE when nothing was open.
    virtual HRESULT Close();
    HRESULT Open(const std::vector<BYTE>& bytes);

    boost::shared_ptr<CColorProfile> Clone() const;
    bool IsOpen() const { return m_hProfile != nullptr; }
    const std::vector<BYTE>& GetBytes() const { return m_bytes; }
    const PROFILEHEADER& GetHeader() const { return m_header; }

    HRESULT GetElement(TAGTYPE tag, std::string& data, bool& isReference) const;
    HRESULT GetDescElement(std::string& data, bool& isReference) const;
    // 1-based, as the system counts tags.
    HRESULT GetElementByIndex(DWORD index, std::string& data, bool& isReference) const;
    HRESULT GetElementByZeroBasedIndex(DWORD index, std::string& data, bool& isReference) const;
    HRESULT GetCountElements(DWORD* count) const;
    HRESULT GetElementTag(DWORD index, TAGTYPE* tag) const;
    HRESULT ReadDescription(std::wstring& text) const;

    // The headers decide, byte by byte; bytes and names play no part.
    int Compare(const CColorProfile& other) const;
    bool operator<(const CColorProfile& other) const { return Compare(other) < 0; }
    bool operator==(const CColorProfile& other) const { return Compare(other) == 0; }
    unsigned GetByteSize() const { return 132 + static_cast<unsigned>(m_bytes.size()); }
    void DumpTags(std::wostream& os) const;

    // Empty for no context or type NONE; throws when the profile cannot be had.
    static boost::shared_ptr<CColorProfile> FromColorContext(const boost::shared_ptr<CColorContext>& cc);

private:
    HRESULT OpenBytes();

    std::vector<BYTE> m_bytes;
    HPROFILE m_hProfile = nullptr;
    PROFILEHEADER m_header;
};

using CColorProfilePtr = boost::shared_ptr<CColorProfile>;

// The text of an ICC textDescriptionType tag; E_FAIL for any other type or a count that does
// not fit the tag.
HRESULT ParseDescriptionTag(const std::string& data, std::wstring& text);
