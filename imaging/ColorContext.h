#pragma once
// The colour space an image's pixels are in: an embedded ICC profile or an EXIF colour space.
#include <windows.h>

#include <boost/shared_ptr.hpp>

#include <ostream>
#include <string>
#include <vector>

class CColorProfile;

class CColorContext {
public:
    enum Type : UINT { NONE = 0, PROFILE = 1, EXIF = 2 };

    void SetExifColorSpace(UINT value);
    void SetProfile(const BYTE* data, UINT size);
    void SetProfile(const std::vector<BYTE>& profile);
    // Exchanges the profile bytes with `profile`.
    void TakeProfile(std::vector<BYTE>& profile);

    boost::shared_ptr<CColorContext> Clone() const;
    bool operator==(const CColorContext& other) const;
    bool operator!=(const CColorContext& other) const { return !(*this == other); }
    unsigned GetByteSize() const { return 8 + static_cast<unsigned>(m_profile.size()); }
    void DiffFields(const CColorContext& other) const;
    void Dump(std::wostream& os) const;
    // Empty for no profile; otherwise type PROFILE with a copy of the profile's bytes.
    static boost::shared_ptr<CColorContext> FromProfile(const boost::shared_ptr<CColorProfile>& profile);

    UINT m_type = NONE;
    UINT m_exifColorSpace = 0;
    std::vector<BYTE> m_profile;
};

using CColorContextPtr = boost::shared_ptr<CColorContext>;

std::wstring ColorContextTypeToString(UINT type);
