#include "imaging/ColorContext.h"

#include "foundation/Exception.h"
#include "imaging/ColorProfile.h"
#include "imaging/TypeName.h"

#include <boost/make_shared.hpp>

void CColorContext::SetExifColorSpace(UINT value)
{
    m_type = EXIF;
    m_exifColorSpace = value;
}

void CColorContext::SetProfile(const BYTE* data, UINT size)
{
    m_type = PROFILE;
    m_profile.assign(data, data + size);
}

void CColorContext::SetProfile(const std::vector<BYTE>& profile)
{
    m_type = PROFILE;
    m_profile = profile;
}

void CColorContext::TakeProfile(std::vector<BYTE>& profile)
{
    m_type = PROFILE;
    m_profile.swap(profile);
}

boost::shared_ptr<CColorContext> CColorContext::Clone() const { return boost::make_shared<CColorContext>(*this); }

bool CColorContext::operator==(const CColorContext& other) const
{
    if (m_type != other.m_type) return false;
    switch (m_type) {
    case NONE: return true;
    case PROFILE: return m_profile == other.m_profile;
    case EXIF: return m_exifColorSpace == other.m_exifColorSpace;
    }
    return false;
}

void CColorContext::DiffFields(const CColorContext& other) const
{
    const std::wstring prefix = RuntimeTypeName(typeid(*this)) + L"::";
    if (m_type != other.m_type) check_equals(prefix + L"m_type");
    if (m_exifColorSpace != other.m_exifColorSpace) check_equals(prefix + L"m_exifColorSpace");
    if (m_profile != other.m_profile) check_equals(prefix + L"m_profile");
}

void CColorContext::Dump(std::wostream& os) const
{
    os << L"ColorContext type: " << ColorContextTypeToString(m_type) << L"\n";
    os << L"  exifColorSpace: " << std::dec << m_exifColorSpace << L"\n";
    os << L"  profile: ";
    if (m_profile.empty()) {
        os << L"(empty)";
    } else {
        CColorProfile profile;
        const HRESULT hr = profile.Open(m_profile);
        if (SUCCEEDED(hr)) {
            os << profile.GetName();
        } else {
            os << L"FAILED " << std::hex << static_cast<unsigned long>(hr) << std::dec;
        }
    }
}

boost::shared_ptr<CColorContext> CColorContext::FromProfile(const boost::shared_ptr<CColorProfile>& profile)
{
    if (!profile) return boost::shared_ptr<CColorContext>();
    auto cc = boost::make_shared<CColorContext>();
    cc->SetProfile(profile->GetBytes());
    return cc;
}

std::wstring ColorContextTypeToString(UINT type)
{
    switch (type) {
    case CColorContext::NONE: return L"NONE";
    case CColorContext::PROFILE: return L"PROFILE";
    case CColorContext::EXIF: return L"EXIF";
    }
    return L"ColorContextType::(" + std::to_wstring(type) + L")";
}
