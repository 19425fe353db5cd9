#include "imaging/ColorProfileLookup.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/SimpleErr.h"
#include "ids/imaging.h"

#include <boost/make_shared.hpp>

#include <cwchar>

namespace {

constexpr DWORD kLogicalSpaceSrgb =
    0x73524742; // LCS_sRGB, spelled as a number to stay clear of multi-character literals

// Sizes from the colour functions are bytes and may or may not count the NUL (Wine's do not,
// and its exact-size calls write the NUL past the buffer): two spare bytes, zero-filled, and
// the length taken from the text.
std::wstring TextOfBuffer(const std::vector<wchar_t>& buffer) { return std::wstring(buffer.data()); }

std::vector<wchar_t> BufferForBytes(DWORD bytes) { return std::vector<wchar_t>(bytes / sizeof(wchar_t) + 2, L'\0'); }

bool EqualsIgnoringAsciiCase(const std::wstring& a, const wchar_t* b)
{
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        wchar_t x = a[i], y = b[i];
        if (x >= L'A' && x <= L'Z') x = static_cast<wchar_t>(x - L'A' + L'a');
        if (y >= L'A' && y <= L'Z') y = static_cast<wchar_t>(y - L'A' + L'a');
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

// One system profile resolved on first use; a failure is remembered and never retried.
struct StdProfileEntry {
    enum Kind { Standard = 0, Display = 1 };

    StdProfileEntry(Kind kind, DWORD colorSpace) : m_kind(kind), m_colorSpace(colorSpace) {}

    CColorProfilePtr Get()
    {
        if (m_profile) return m_profile;
        if (m_err.m_id) return CColorProfilePtr();
        if (m_name.empty())
            m_name = m_kind == Standard ? GetStandardProfileName(m_colorSpace) : GetDisplayProfileName();
        if (m_name.empty()) {
            m_err.Set(IDS_ICM_DEFAULT_PROFILE_NOT_FOUND, std::to_wstring(m_colorSpace));
            return CColorProfilePtr();
        }
        auto profile = boost::make_shared<CColorProfile>();
        const HRESULT hr = profile->Open(m_name);
        if (FAILED(hr)) {
            m_err.SetWithCode(IDS_ICM_OPEN_PROFILE_FAILED, hr);
            return CColorProfilePtr();
        }
        m_profile = profile;
        return m_profile;
    }

    Kind m_kind;
    DWORD m_colorSpace;
    CSimpleErr m_err;
    std::wstring m_name;
    CColorProfilePtr m_profile;
};

StdProfileEntry& Entry(int which)
{
    static StdProfileEntry entries[] = {
        {StdProfileEntry::Standard, kColorSpaceRgb},
        {StdProfileEntry::Standard, kColorSpaceCmyk},
        {StdProfileEntry::Display, kColorSpaceRgb},
    };
    return entries[which];
}

} // namespace

HRESULT GetColorDirectory(std::wstring& out)
{
    out.clear();
    DWORD size = 0;
    ::GetColorDirectoryW(nullptr, nullptr, &size);
    if (size == 0) return E_FAIL;
    std::vector<wchar_t> buffer = BufferForBytes(size);
    if (!::GetColorDirectoryW(nullptr, buffer.data(), &size)) return LastErrorAsHResult();
    out = TextOfBuffer(buffer);
    return S_OK;
}

HRESULT GetStandardSrgbProfilePath(std::wstring& out)
{
    out.clear();
    // Wine leaves the size at 0 when asked without a buffer: ask with a path-sized one first.
    std::vector<wchar_t> buffer = BufferForBytes(MAX_PATH * sizeof(wchar_t));
    DWORD size = MAX_PATH * sizeof(wchar_t);
    if (::GetStandardColorSpaceProfileW(nullptr, kLogicalSpaceSrgb, buffer.data(), &size)) {
        out = TextOfBuffer(buffer);
        return out.empty() ? E_FAIL : S_OK;
    }
    if (size <= MAX_PATH * sizeof(wchar_t)) return LastErrorAsHResult();
    buffer = BufferForBytes(size);
    if (!::GetStandardColorSpaceProfileW(nullptr, kLogicalSpaceSrgb, buffer.data(), &size)) return LastErrorAsHResult();
    out = TextOfBuffer(buffer);
    return S_OK;
}

HRESULT EnumProfiles(const ENUMTYPEW& type, std::vector<std::wstring>& names)
{
    DWORD size = 0, count = 0;
    ::EnumColorProfilesW(nullptr, const_cast<ENUMTYPEW*>(&type), nullptr, &size, &count);
    if (size == 0) return S_FALSE;
    std::vector<BYTE> buffer(size + 2 * sizeof(wchar_t), 0);
    if (!::EnumColorProfilesW(nullptr, const_cast<ENUMTYPEW*>(&type), buffer.data(), &size, &count)) {
        return LastErrorAsHResult();
    }
    const auto* p = reinterpret_cast<const wchar_t*>(buffer.data());
    const auto* end = p + buffer.size() / sizeof(wchar_t);
    while (p < end && *p) {
        const size_t length = wcsnlen(p, static_cast<size_t>(end - p));
        names.emplace_back(p, length);
        p += length + 1;
    }
    return S_OK;
}

std::wstring FindStandardProfileName(DWORD colorSpace, const wchar_t* const preferred[], int count)
{
    ENUMTYPEW type = {};
    type.dwSize = sizeof(type); // the 32-bit size (88) is refused by x64 systems
    type.dwVersion = ENUM_TYPE_VERSION;
    type.dwFields = ET_DATACOLORSPACE;
    type.dwDataColorSpace = colorSpace;
    std::vector<std::wstring> names;
    if (FAILED(EnumProfiles(type, names))) return std::wstring();
    for (int i = 0; i < count; ++i) {
        for (const std::wstring& name : names) {
            if (EqualsIgnoringAsciiCase(name, preferred[i])) return name;
        }
    }
    return names.empty() ? std::wstring() : names.front();
}

std::wstring GetStandardProfileName(DWORD colorSpace)
{
    static const wchar_t* const cmyk[] = {L"JapanStandard.icc", L"RSWOP.icm"};
    static const wchar_t* const rgb[] = {L"sRGB Color Space Profile.icm"};
    if (colorSpace == kColorSpaceCmyk) return FindStandardProfileName(colorSpace, cmyk, 2);
    if (colorSpace == kColorSpaceRgb) return FindStandardProfileName(colorSpace, rgb, 1);
    return std::wstring();
}

std::wstring GetDisplayProfileName()
{
    HDC dc = ::GetDC(nullptr);
    if (!dc) return std::wstring();
    DWORD size = MAX_PATH;
    std::vector<wchar_t> buffer(size + 2, L'\0');
    BOOL ok = ::GetICMProfileW(dc, &size, buffer.data());
    while (!ok && ::GetLastError() == ERROR_INSUFFICIENT_BUFFER && size + 2 > buffer.size()) {
        buffer.assign(size + 2, L'\0');
        ok = ::GetICMProfileW(dc, &size, buffer.data());
    }
    ::ReleaseDC(nullptr, dc);
    return ok ? TextOfBuffer(buffer) : std::wstring();
}

CColorProfilePtr GetDefaultProfile(DWORD colorSpace)
{
    if (colorSpace == kColorSpaceCmyk) return GetDefaultCmykProfile();
    if (colorSpace == kColorSpaceRgb) return GetDefaultRgbProfile();
    if (colorSpace == kColorSpaceGray) return CColorProfilePtr();
    throw my::CException(IDS_ICM_UNKNOWN_COLOR_SPACE, std::to_wstring(colorSpace));
}

CColorProfilePtr GetDefaultRgbProfile() { return Entry(0).Get(); }
CColorProfilePtr GetDefaultCmykProfile() { return Entry(1).Get(); }
CColorProfilePtr GetDisplayProfile() { return Entry(2).Get(); }

CColorProfilePtr GetDisplayOrDefaultRgbProfile()
{
    CColorProfilePtr profile = GetDisplayProfile();
    return profile ? profile : GetDefaultRgbProfile();
}

CColorProfilePtr DefaultProfileForColorType(ImgColorType type)
{
    switch (type) {
    case ImgColorType::Indexed:
    case ImgColorType::Rgb: return GetDefaultProfile(kColorSpaceRgb);
    case ImgColorType::Gray: return GetDefaultProfile(kColorSpaceGray);
    case ImgColorType::Cmyk: return GetDefaultProfile(kColorSpaceCmyk);
    case ImgColorType::None: break;
    }
    return CColorProfilePtr();
}

COLORREF RgbColorToColorRef(const RGBCOLOR& color) { return RGB(color.red >> 8, color.green >> 8, color.blue >> 8); }
