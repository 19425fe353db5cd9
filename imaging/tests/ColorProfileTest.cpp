#include "imaging/ColorProfile.h"

#include "ids/imaging.h"
#include "imaging/ColorContext.h"
#include "imaging/ColorProfileLookup.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <cstring>
#include <functional>
#include <sstream>

namespace {

using ColorProfile = ImagingTest;

constexpr DWORD kSignatureLab = 0x4C616220; // 'Lab '

// The offset and size of a tag in the profile's tag table; false when it has none.
bool FindTag(const std::vector<BYTE>& profile, const char* signature, size_t& offset, size_t& size)
{
    const auto be = [&](size_t at) {
        return (DWORD{profile[at]} << 24) | (DWORD{profile[at + 1]} << 16) | (DWORD{profile[at + 2]} << 8) |
               DWORD{profile[at + 3]};
    };
    const DWORD count = be(128);
    for (DWORD i = 0; i < count; ++i) {
        const size_t entry = 132 + 12 * i;
        if (std::memcmp(profile.data() + entry, signature, 4) == 0) {
            offset = be(entry + 4);
            size = be(entry + 8);
            return true;
        }
    }
    return false;
}

void PutBigEndian(std::vector<BYTE>& bytes, size_t at, DWORD value)
{
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<BYTE>(value >> (24 - 8 * i));
}

std::string DescTag(DWORD count, const std::string& text)
{
    std::string tag("desc\0\0\0\0", 8);
    for (int i = 0; i < 4; ++i) tag += static_cast<char>(count >> (24 - 8 * i));
    return tag + text;
}

// A profile whose handle the system refuses to close, as a failing CloseColorProfile leaves it.
class CUnclosableProfile : public CColorProfile {
public:
    HRESULT Close() override { return m_refuse ? E_HANDLE : CColorProfile::Close(); }
    bool m_refuse = false;
};

} // namespace

TEST_F(ColorProfile, OpenKeepsAHandleThatCouldNotBeClosed)
{
    const std::vector<BYTE> cmyk = ReadTestFile(L"cmyk-v2.icc");
    const std::function<HRESULT(CColorProfile&)> opens[] = {
        [&](CColorProfile& profile) { return profile.Open(cmyk); },
        [](CColorProfile& profile) { return profile.Open(ImagingTestData(L"cmyk-v2.icc")); },
    };
    for (const auto& open : opens) {
        CUnclosableProfile profile;
        ASSERT_HRESULT_SUCCEEDED(profile.Open(ImagingTestData(L"srgb-v2.icc")));
        profile.m_refuse = true;
        EXPECT_EQ(open(profile), E_HANDLE);
        EXPECT_EQ(profile.GetName(), L"sRGB");
        EXPECT_EQ(profile.GetHeader().phDataColorSpace, kColorSpaceRgb);
        profile.m_refuse = false;
        EXPECT_EQ(profile.Close(), S_OK);
    }
}

TEST_F(ColorProfile, OpensV2ProfilesOfEveryColourSpaceFromFilesAndMemory)
{
    const struct {
        const wchar_t* file;
        DWORD space;
        const wchar_t* name;
    } cases[] = {
        {L"srgb-v2.icc", kColorSpaceRgb, L"sRGB"},
        {L"gray-v2.icc", kColorSpaceGray, nullptr},
        {L"cmyk-v2.icc", kColorSpaceCmyk, L"Artifex CMYK SWOP Profile"},
        {L"lab-v2.icc", kSignatureLab, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.file, c.file + wcslen(c.file)));
        CColorProfile fromFile;
        ASSERT_HRESULT_SUCCEEDED(fromFile.Open(ImagingTestData(c.file)));
        EXPECT_TRUE(fromFile.IsOpen());
        EXPECT_EQ(fromFile.GetHeader().phDataColorSpace, c.space);
        EXPECT_FALSE(fromFile.GetName().empty());
        if (c.name) {
            EXPECT_EQ(fromFile.GetName(), c.name);
        }
        EXPECT_EQ(fromFile.GetByteSize(), 132 + fromFile.GetBytes().size());

        const std::vector<BYTE> bytes = ReadTestFile(c.file);
        EXPECT_EQ(fromFile.GetBytes(), bytes);
        CColorProfile fromMemory;
        ASSERT_HRESULT_SUCCEEDED(fromMemory.Open(bytes));
        EXPECT_EQ(fromMemory.GetName(), fromFile.GetName());
        EXPECT_TRUE(fromMemory == fromFile);
        EXPECT_EQ(fromMemory.Compare(fromFile), 0);

        CColorProfilePtr clone = fromMemory.Clone();
        EXPECT_TRUE(clone->IsOpen());
        EXPECT_EQ(clone->GetName(), fromFile.GetName());
        EXPECT_EQ(fromMemory.Close(), S_OK);
        EXPECT_EQ(fromMemory.Close(), S_FALSE);
        EXPECT_TRUE(fromMemory.GetBytes().empty());
        std::string data;
        bool isReference = true;
        EXPECT_EQ(fromMemory.GetDescElement(data, isReference), E_FAIL);
        EXPECT_FALSE(isReference);
    }
}

TEST_F(ColorProfile, V4DescriptionsOpenTheHandleButNotTheProfile)
{
    for (const wchar_t* file : {L"srgb-v4.icc", L"adobergb-v4.icc"}) {
        CColorProfile profile;
        profile.SetName(L"before");
        EXPECT_EQ(profile.Open(ImagingTestData(file)), E_FAIL);
        EXPECT_TRUE(profile.IsOpen());
        EXPECT_EQ(profile.GetName(), L"before");
        std::string data;
        bool isReference = false;
        ASSERT_HRESULT_SUCCEEDED(profile.GetDescElement(data, isReference));
        EXPECT_EQ(data.substr(0, 4), "mluc");
    }
}

TEST_F(ColorProfile, TruncatedAndForeignDataDoNotOpen)
{
    const std::vector<BYTE> bytes = ReadTestFile(L"srgb-v2.icc");
    ASSERT_GT(bytes.size(), 1000u);
    size_t offset = 0, size = 0;
    ASSERT_TRUE(FindTag(bytes, "desc", offset, size));
    const std::vector<BYTE> truncated[] = {
        std::vector<BYTE>(bytes.begin(), bytes.begin() + 64),
        std::vector<BYTE>(bytes.begin(), bytes.begin() + 200),
        std::vector<BYTE>(bytes.begin(), bytes.begin() + offset + 14), // inside the description
        std::vector<BYTE>(1000, 0x41),
    };
    for (const auto& data : truncated) {
        SCOPED_TRACE(data.size());
        CColorProfile profile;
        const HRESULT hr = profile.Open(data);
        EXPECT_TRUE(FAILED(hr)); // never S_OK without a handle, even when the system left no code
        EXPECT_EQ(profile.GetName(), L"");
    }
    CColorProfile empty;
    EXPECT_EQ(empty.Open(std::vector<BYTE>()), E_FAIL);
    EXPECT_TRUE(FAILED(empty.Open(ImagingTestData(L"no-such-profile.icc"))));
}

TEST_F(ColorProfile, DescriptionTagsAreReadWithinTheirLength)
{
    const struct {
        std::string tag;
        HRESULT hr;
        const wchar_t* text;
    } cases[] = {
        {DescTag(4, std::string("abc\0", 4)), S_OK, L"abc"},
        {DescTag(1, std::string("\0", 1)), S_OK, L""},
        {DescTag(0, "abcd"), E_FAIL, nullptr},          // a count of 0 would wrap to 4 GiB
        {DescTag(0xFFFFFFFF, "abcd"), E_FAIL, nullptr}, // count + 10 wraps in 32 bits
        {DescTag(0xFFFFFFF6, "abcd"), E_FAIL, nullptr},
        {DescTag(6, "abcd"), E_FAIL, nullptr}, // its last text byte would lie past the tag
        {DescTag(5, "abcd"), S_OK, L"abcd"},   // the NUL missing at the end: the text still fits
        {DescTag(4, "abcd"), S_OK, L"abc"},
        {std::string("desc\0\0\0\0\0\0\0", 11), E_FAIL, nullptr},
        {std::string("mluc\0\0\0\0\0\0\0\4abcd", 16), E_FAIL, nullptr},
        {std::string("descX\0\0\0\0\0\0\4abcd", 16), E_FAIL, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag.size());
        std::wstring text = L"unchanged";
        EXPECT_EQ(ParseDescriptionTag(c.tag, text), c.hr);
        if (c.text) {
            EXPECT_EQ(text, c.text);
        }
    }
}

TEST_F(ColorProfile, HostileDescriptionCountInARealProfile)
{
    std::vector<BYTE> bytes = ReadTestFile(L"srgb-v2.icc");
    size_t offset = 0, size = 0;
    ASSERT_TRUE(FindTag(bytes, "desc", offset, size));
    for (DWORD count : {DWORD{0}, DWORD{0xFFFFFFFF}, static_cast<DWORD>(size - 10), DWORD{0x7FFFFFFF}}) {
        std::vector<BYTE> hostile = bytes;
        PutBigEndian(hostile, offset + 8, count);
        CColorProfile profile;
        EXPECT_EQ(profile.Open(hostile), E_FAIL) << count;
        EXPECT_EQ(profile.GetName(), L"");
    }
}

TEST_F(ColorProfile, HeadersAloneDecideComparison)
{
    const std::vector<BYTE> bytes = ReadTestFile(L"srgb-v2.icc");
    std::vector<BYTE> changed = bytes;
    size_t offset = 0, size = 0;
    ASSERT_TRUE(FindTag(changed, "desc", offset, size));
    changed[offset + 12] = 'X'; // description differs, header does not
    CColorProfile a, b, gray;
    ASSERT_HRESULT_SUCCEEDED(a.Open(bytes));
    ASSERT_HRESULT_SUCCEEDED(b.Open(changed));
    ASSERT_HRESULT_SUCCEEDED(gray.Open(ImagingTestData(L"gray-v2.icc")));
    EXPECT_NE(a.GetName(), b.GetName());
    EXPECT_TRUE(a == b);
    EXPECT_FALSE(a < b || b < a);
    EXPECT_NE(a.Compare(gray), 0);
    EXPECT_EQ(a.Compare(gray), -gray.Compare(a));
    EXPECT_EQ(a < gray, a.Compare(gray) < 0);
}

TEST_F(ColorProfile, TagsAreListed)
{
    CColorProfile profile;
    ASSERT_HRESULT_SUCCEEDED(profile.Open(ImagingTestData(L"srgb-v2.icc")));
    DWORD count = 0;
    ASSERT_HRESULT_SUCCEEDED(profile.GetCountElements(&count));
    ASSERT_GT(count, 3u);
    std::string byIndex, byZeroIndex;
    bool reference = false;
    ASSERT_HRESULT_SUCCEEDED(profile.GetElementByIndex(1, byIndex, reference));
    ASSERT_HRESULT_SUCCEEDED(profile.GetElementByZeroBasedIndex(0, byZeroIndex, reference));
    EXPECT_EQ(byIndex, byZeroIndex);
    std::wostringstream dump;
    profile.DumpTags(dump);
    const std::wstring text = dump.str();
    EXPECT_EQ(text.find(L"name: sRGB\n"), 0u);
    EXPECT_NE(text.find(L"DataColorSpace: RGB "), std::wstring::npos);
    EXPECT_NE(text.find(L"ConnectionSpace: XYZ "), std::wstring::npos);
    EXPECT_NE(text.find(L"[64657363]"), std::wstring::npos); // desc
    EXPECT_NE(text.find(L"tag(" + std::to_wstring(count) + L")"), std::wstring::npos);
    CColorProfile closed;
    std::wostringstream closedDump;
    closed.DumpTags(closedDump);
    EXPECT_EQ(closedDump.str(), L"name: m_hProfile == NULL");
}

TEST_F(ColorProfile, SystemProfilesAreFound)
{
    std::wstring directory;
    ASSERT_HRESULT_SUCCEEDED(GetColorDirectory(directory));
    EXPECT_EQ(directory.find(L'\0'), std::wstring::npos);
    EXPECT_EQ(directory.size(), wcslen(directory.c_str()));
    EXPECT_GT(::GetFileAttributesW(directory.c_str()), 0u);
    EXPECT_NE(::GetFileAttributesW(directory.c_str()), INVALID_FILE_ATTRIBUTES);

    std::wstring srgb;
    ASSERT_HRESULT_SUCCEEDED(GetStandardSrgbProfilePath(srgb));
    EXPECT_NE(::GetFileAttributesW(srgb.c_str()), INVALID_FILE_ATTRIBUTES) << srgb.size();

    // The test set-up installs the CMYK profile as RSWOP.icm; the CMYK default finds it.
    EXPECT_EQ(GetStandardProfileName(kColorSpaceCmyk), L"RSWOP.icm");
    CColorProfile byName;
    ASSERT_HRESULT_SUCCEEDED(byName.Open(L"RSWOP.icm"));
    EXPECT_EQ(byName.GetHeader().phDataColorSpace, kColorSpaceCmyk);
    EXPECT_EQ(byName.GetBytes(), ReadTestFile(L"cmyk-v2.icc"));
    const wchar_t* const missingFirst[] = {L"JapanStandard.icc", L"rswop.ICM"};
    EXPECT_EQ(FindStandardProfileName(kColorSpaceCmyk, missingFirst, 2), L"RSWOP.icm");
    const wchar_t* const none[] = {L"JapanStandard.icc"};
    EXPECT_EQ(FindStandardProfileName(kColorSpaceCmyk, none, 1), L"RSWOP.icm"); // the first listed
    EXPECT_EQ(GetStandardProfileName(kColorSpaceGray), L"");
    EXPECT_EQ(FindStandardProfileName(kSignatureLab, none, 1), L"");

    CColorProfilePtr cmyk = GetDefaultProfile(kColorSpaceCmyk);
    ASSERT_TRUE(cmyk);
    EXPECT_EQ(cmyk, GetDefaultCmykProfile()); // opened once, shared
    CColorProfilePtr rgb = GetDefaultProfile(kColorSpaceRgb);
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->GetHeader().phDataColorSpace, kColorSpaceRgb);
    EXPECT_FALSE(GetDefaultProfile(kColorSpaceGray));
    EXPECT_TRUE(GetDisplayOrDefaultRgbProfile());
    EXPECT_EQ(DefaultProfileForColorType(ImgColorType::Indexed), rgb);
    EXPECT_EQ(DefaultProfileForColorType(ImgColorType::Cmyk), cmyk);
    EXPECT_FALSE(DefaultProfileForColorType(ImgColorType::Gray));
    EXPECT_FALSE(DefaultProfileForColorType(ImgColorType::None));

    try {
        GetDefaultProfile(kSignatureLab);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_ICM_UNKNOWN_COLOR_SPACE));
        EXPECT_NE(e.m_message.find(L"1281450528"), std::wstring::npos);
    }
    EXPECT_EQ(RgbColorToColorRef(RGBCOLOR{0x12FF, 0x3400, 0x56AB}), RGB(0x12, 0x34, 0x56));
}

TEST_F(ColorProfile, ProfilesFromColourContexts)
{
    EXPECT_FALSE(CColorProfile::FromColorContext(CColorContextPtr()));
    EXPECT_FALSE(CColorProfile::FromColorContext(boost::make_shared<CColorContext>()));

    auto cc = boost::make_shared<CColorContext>();
    cc->SetProfile(ReadTestFile(L"gray-v2.icc"));
    CColorProfilePtr gray = CColorProfile::FromColorContext(cc);
    ASSERT_TRUE(gray);
    EXPECT_EQ(gray->GetHeader().phDataColorSpace, kColorSpaceGray);
    CColorContextPtr back = CColorContext::FromProfile(gray);
    ASSERT_TRUE(back);
    EXPECT_TRUE(*back == *cc);
    EXPECT_FALSE(CColorContext::FromProfile(CColorProfilePtr()));

    cc->SetProfile(std::vector<BYTE>());
    EXPECT_EQ(ThrownId([&] { CColorProfile::FromColorContext(cc); }), static_cast<UINT>(IDS_ICM_OPEN_PROFILE_FAILED));
    cc->SetExifColorSpace(2);
    try {
        CColorProfile::FromColorContext(cc);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_ICM_UNKNOWN_EXIF_COLOR_SPACE));
        EXPECT_NE(e.m_message.find(L"2"), std::wstring::npos);
    }
    cc->SetExifColorSpace(1);
    EXPECT_EQ(CColorProfile::FromColorContext(cc), GetDefaultRgbProfile());
    cc->m_type = 7;
    EXPECT_EQ(ThrownId([&] { CColorProfile::FromColorContext(cc); }), static_cast<UINT>(IDS_INTERNAL_ERROR));
}
