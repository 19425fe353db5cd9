#include "imaging/ColorProfile.h"

#include "foundation/Exception.h"
#include "foundation/FileHandle.h"
#include "foundation/LastError.h"
#include "foundation/PathHelpers.h"
#include "ids/imaging.h"
#include "imaging/ColorContext.h"
#include "imaging/ColorProfileLookup.h"

#include <boost/make_shared.hpp>

#include <cstring>
#include <iomanip>

namespace {

constexpr TAGTYPE kDescTag = 0x64657363; // 'desc'

DWORD BigEndian32(const std::string& data, size_t offset)
{
    const auto* p = reinterpret_cast<const BYTE*>(data.data() + offset);
    return (DWORD{p[0]} << 24) | (DWORD{p[1]} << 16) | (DWORD{p[2]} << 8) | DWORD{p[3]};
}

void WriteSignature(std::wostream& os, DWORD signature)
{
    for (int shift = 24; shift >= 0; shift -= 8) os << static_cast<wchar_t>((signature >> shift) & 0xFF);
}

} // namespace

HRESULT ParseDescriptionTag(const std::string& data, std::wstring& text)
{
    if (data.size() <= 12 || data.compare(0, 4, "desc") != 0 || data[4] != 0) return E_FAIL;
    // The count includes the terminating NUL: 0 or one past the tag would read outside it.
    const ULONGLONG count = BigEndian32(data, 8);
    if (count < 1 || count + 11 > data.size()) return E_FAIL;
    text.clear();
    for (size_t i = 0; i + 1 < count; ++i) text += static_cast<wchar_t>(static_cast<BYTE>(data[12 + i]));
    return S_OK;
}

CColorProfile::CColorProfile(const CColorProfile& other) : CNameImpl(other)
{
    ZeroMemory(&m_header, sizeof(m_header));
    *this = other;
}

CColorProfile& CColorProfile::operator=(const CColorProfile& other)
{
    if (this == &other) return *this;
    Close();
    m_name = other.m_name;
    m_bytes = other.m_bytes;
    m_header = other.m_header;
    if (other.IsOpen()) OpenBytes();
    return *this;
}

CColorProfile::~CColorProfile()
{
    if (m_hProfile) ::CloseColorProfile(m_hProfile);
}

// Every Open first closes: a handle that would not close stays, and its failure is the result
// (opening over it would lose the handle).
HRESULT CColorProfile::Open(const BYTE* data, UINT size)
{
    const HRESULT closed = Close();
    if (FAILED(closed)) return closed;
    if (!data && size) return E_POINTER;
    m_bytes.assign(data, data + size);
    return OpenBytes();
}

HRESULT CColorProfile::Open(const std::vector<BYTE>& bytes)
{
    if (bytes.empty()) return E_FAIL;
    return Open(bytes.data(), static_cast<UINT>(bytes.size()));
}

HRESULT CColorProfile::Open(const std::wstring& name)
{
    const HRESULT closed = Close();
    if (FAILED(closed)) return closed;
    std::wstring path = name;
    if (name.find(L'\\') == std::wstring::npos) {
        HRESULT hr = GetColorDirectory(path);
        if (FAILED(hr)) return hr;
        AppendPath(path, name);
    }
    CFileHandle file;
    HRESULT hr = file.OpenForRead(path);
    if (SUCCEEDED(hr)) hr = file.ReadAll(m_bytes, 0);
    if (FAILED(hr)) {
        m_bytes.clear();
        return hr;
    }
    return OpenBytes();
}

HRESULT CColorProfile::Close()
{
    m_bytes.clear();
    if (!m_hProfile) return S_FALSE;
    if (!::CloseColorProfile(m_hProfile)) return LastErrorAsHResult();
    m_hProfile = nullptr;
    return S_OK;
}

HRESULT CColorProfile::OpenBytes()
{
    PROFILE profile = {};
    profile.dwType = PROFILE_MEMBUFFER;
    profile.pProfileData = m_bytes.data();
    profile.cbDataSize = static_cast<DWORD>(m_bytes.size());
    m_hProfile = ::OpenColorProfileW(&profile, PROFILE_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    if (!m_hProfile) return LastErrorAsHResult(); // truncated or foreign data leaves no code
    ZeroMemory(&m_header, sizeof(m_header));
    if (!::GetColorProfileHeader(m_hProfile, &m_header)) return LastErrorAsHResult();
    std::wstring description;
    const HRESULT hr = ReadDescription(description);
    if (FAILED(hr)) return hr;
    m_name = description;
    return S_OK;
}

boost::shared_ptr<CColorProfile> CColorProfile::Clone() const { return boost::make_shared<CColorProfile>(*this); }

HRESULT CColorProfile::GetElement(TAGTYPE tag, std::string& data, bool& isReference) const
{
    data.clear();
    isReference = false;
    if (!m_hProfile) return E_FAIL;
    DWORD size = 0;
    BOOL reference = FALSE;
    ::SetLastError(0);
    // The size query fails by design; Wine's leaves last error 0, so a size that came back
    // is the only sign worth following.
    if (!::GetColorProfileElement(m_hProfile, tag, 0, &size, nullptr, &reference) && size == 0) {
        return LastErrorAsHResult();
    }
    if (size == 0) return E_FAIL;
    data.assign(size, '\0');
    if (!::GetColorProfileElement(m_hProfile, tag, 0, &size, data.data(), &reference)) {
        const HRESULT hr = LastErrorAsHResult();
        data.clear();
        return hr;
    }
    data.resize(size);
    isReference = reference != FALSE;
    return S_OK;
}

HRESULT CColorProfile::GetDescElement(std::string& data, bool& isReference) const
{
    return GetElement(kDescTag, data, isReference);
}

HRESULT CColorProfile::GetElementByIndex(DWORD index, std::string& data, bool& isReference) const
{
    data.clear();
    isReference = false;
    TAGTYPE tag = 0;
    const HRESULT hr = GetElementTag(index, &tag);
    if (FAILED(hr)) return hr;
    return GetElement(tag, data, isReference);
}

HRESULT CColorProfile::GetElementByZeroBasedIndex(DWORD index, std::string& data, bool& isReference) const
{
    return GetElementByIndex(index + 1, data, isReference);
}

HRESULT CColorProfile::GetCountElements(DWORD* count) const
{
    if (!m_hProfile) return E_FAIL;
    return ::GetCountColorProfileElements(m_hProfile, count) ? S_OK : LastErrorAsHResult();
}

HRESULT CColorProfile::GetElementTag(DWORD index, TAGTYPE* tag) const
{
    if (!m_hProfile) return E_FAIL;
    return ::GetColorProfileElementTag(m_hProfile, index, tag) ? S_OK : LastErrorAsHResult();
}

HRESULT CColorProfile::ReadDescription(std::wstring& text) const
{
    std::string data;
    bool isReference = false;
    const HRESULT hr = GetDescElement(data, isReference);
    if (FAILED(hr)) return hr;
    return ParseDescriptionTag(data, text);
}

int CColorProfile::Compare(const CColorProfile& other) const
{
    const int c = std::memcmp(&m_header, &other.m_header, sizeof(m_header));
    return c < 0 ? -1 : c > 0 ? 1 : 0;
}

void CColorProfile::DumpTags(std::wostream& os) const
{
    os << L"name: " << m_name;
    if (!m_hProfile) {
        os << L"m_hProfile == NULL";
        return;
    }
    const std::pair<const wchar_t*, DWORD> fields[] = {
        {L"CMMType::", m_header.phCMMType},
        {L"Class: ", m_header.phClass},
        {L"Platform: ", m_header.phPlatform},
        {L"Class: ", m_header.phClass},
        {L"DataColorSpace: ", m_header.phDataColorSpace},
        {L"ConnectionSpace: ", m_header.phConnectionSpace},
    };
    for (const auto& [label, value] : fields) {
        os << L"\n" << label;
        WriteSignature(os, value);
    }
    DWORD count = 0;
    HRESULT hr = GetCountElements(&count);
    if (FAILED(hr)) {
        os << L"\nGetCountElements Failed !" << std::hex << hr << std::dec;
        return;
    }
    for (DWORD index = 1; index <= count; ++index) {
        os << L"\n";
        TAGTYPE tag = 0;
        hr = GetElementTag(index, &tag);
        if (FAILED(hr)) {
            os << L"GetElementTag Failed ! : " << std::hex << hr << std::dec;
            continue;
        }
        std::string data;
        bool isReference = false;
        hr = GetElement(tag, data, isReference);
        if (FAILED(hr)) {
            os << L"GetElement Failed ! : " << std::hex << hr << std::dec;
            continue;
        }
        os << L"tag(" << index << L") [" << std::hex << tag << std::dec << L"] {" << data.size() << L"}";
        if (isReference) os << L" ref";
        os << L": ";
        if (data.size() >= 5 && (data.compare(0, 4, "text") == 0 || data.compare(0, 4, "desc") == 0)) {
            for (size_t i = 0; i < data.size() && data[i]; ++i) os << static_cast<wchar_t>(static_cast<BYTE>(data[i]));
            continue;
        }
        for (char c : data) {
            const BYTE b = static_cast<BYTE>(c);
            if (b >= 0x20 && b < 0x7F) {
                os << static_cast<wchar_t>(b);
            } else {
                os << L"{#" << std::hex << static_cast<unsigned>(b) << std::dec << L"}";
            }
        }
    }
}

boost::shared_ptr<CColorProfile> CColorProfile::FromColorContext(const boost::shared_ptr<CColorContext>& cc)
{
    if (!cc || cc->m_type == CColorContext::NONE) return CColorProfilePtr();
    if (cc->m_type == CColorContext::PROFILE) {
        auto profile = boost::make_shared<CColorProfile>();
        const HRESULT hr = profile->Open(cc->m_profile);
        if (FAILED(hr)) throw my::CException(IDS_ICM_OPEN_PROFILE_FAILED, hr);
        return profile;
    }
    if (cc->m_type == CColorContext::EXIF) {
        const std::wstring value = std::to_wstring(cc->m_exifColorSpace);
        if (cc->m_exifColorSpace != 1) throw my::CException(IDS_ICM_UNKNOWN_EXIF_COLOR_SPACE, value, std::wstring());
        CColorProfilePtr profile = GetDefaultRgbProfile();
        if (!profile) throw my::CException(IDS_ICM_EXIF_PROFILE_NOT_FOUND, value, std::wstring());
        return profile;
    }
    ThrowInternalError(L"CColorProfile::FromColorContext\nUnknown cc->Type()");
}
