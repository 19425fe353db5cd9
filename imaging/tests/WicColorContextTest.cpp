#include "imaging/WicColorContext.h"

#include "ids/imaging.h"
#include "imaging/ColorContext.h"
#include "imaging/ImagingFactory.h"
#include "imaging/tests/ImagingTestSupport.h"

#include <ComPtr.h>

#include <gtest/gtest.h>

#include <sstream>

using ATL::CComPtr;

namespace {

using WicColorContext = ImagingTest;

} // namespace

TEST_F(WicColorContext, ProfileAndExifContextsRoundTrip)
{
    CColorContext profile;
    profile.SetProfile(ReadTestFile(L"srgb-v2.icc"));
    ASSERT_FALSE(profile.m_profile.empty());
    CColorContext exif;
    exif.SetExifColorSpace(2);
    for (const CColorContext* original : {&profile, &exif}) {
        CComPtr<IWICColorContext> wic;
        ToWicColorContext(*original, wic.p);
        ASSERT_TRUE(wic);
        CColorContext back;
        ConvertCc(wic, back);
        EXPECT_TRUE(back == *original) << ColorContextTypeToString(original->m_type);
    }
    CColorContext none;
    EXPECT_EQ(ThrownId([&] {
                  CComPtr<IWICColorContext> wic;
                  ToWicColorContext(none, wic.p);
              }),
              static_cast<UINT>(IDS_UNKNOWN_COLOR_SPACE));
}

TEST_F(WicColorContext, ExifConversionKeepsTheProfileBytes)
{
    CComPtr<IWICColorContext> wic;
    CreateColorContextFromExif(wic.p, 1);
    CColorContext cc;
    cc.m_profile = {1, 2, 3};
    ConvertCc(wic, cc);
    EXPECT_EQ(cc.m_type, static_cast<UINT>(CColorContext::EXIF));
    EXPECT_EQ(cc.m_exifColorSpace, 1u);
    EXPECT_EQ(cc.m_profile, (std::vector<BYTE>{1, 2, 3}));
}

TEST_F(WicColorContext, ProfileBytesAndUsability)
{
    std::vector<BYTE> bytes{9};
    std::string text("x");
    EXPECT_EQ(GetProfileBytes(nullptr, bytes), E_HANDLE);
    EXPECT_EQ(GetProfileBytes(nullptr, text), E_HANDLE);
    EXPECT_TRUE(bytes.empty());
    EXPECT_TRUE(text.empty());

    const std::vector<BYTE> srgb = ReadTestFile(L"srgb-v2.icc");
    CComPtr<IWICColorContext> profile;
    CreateColorContextFromMemory(profile.p, srgb.data(), static_cast<UINT>(srgb.size()));
    ASSERT_HRESULT_SUCCEEDED(GetProfileBytes(profile, text));
    EXPECT_EQ(std::vector<BYTE>(text.begin(), text.end()), srgb);
    EXPECT_TRUE(IsUsableColorContext(profile));

    const struct {
        UINT value;
        bool usable;
    } exif[] = {{1, true}, {2, true}, {3, false}, {65535, false}};
    for (const auto& c : exif) {
        CComPtr<IWICColorContext> context;
        CreateColorContextFromExif(context.p, c.value);
        EXPECT_EQ(IsUsableColorContext(context), c.usable) << c.value;
    }
    EXPECT_FALSE(IsUsableColorContext(nullptr));
    CColorContext cc;
    CComPtr<IWICColorContext> uninitialized;
    ASSERT_HRESULT_SUCCEEDED(g_wicFactory->CreateColorContext(&uninitialized));
    EXPECT_EQ(ThrownId([&] { ConvertCc(uninitialized, cc); }), static_cast<UINT>(IDS_WIC_COLOR_CONTEXT_UNKNOWN_TYPE));
}

TEST_F(WicColorContext, ProfileContextOfNoBytes)
{
    CComPtr<IWICColorContext> empty;
    if (ThrownId([&] { CreateColorContextFromMemory(empty.p, nullptr, 0); }) != 0) {
        GTEST_SKIP() << "this WIC makes no colour context from 0 bytes";
    }
    std::vector<BYTE> bytes{9};
    EXPECT_EQ(GetProfileBytes(empty, bytes), E_FAIL);
    EXPECT_TRUE(bytes.empty());
    CColorContext cc;
    EXPECT_EQ(ThrownId([&] { ConvertCc(empty, cc); }), static_cast<UINT>(IDS_WIC_COLOR_CONTEXT_PROFILE_FAILED));
}

TEST_F(WicColorContext, FramesGiveTheirEmbeddedProfile)
{
    CComPtr<IWICBitmapFrameDecode> withIcc = DecodeTestFile(L"blue-purple-pink-large.png");
    ASSERT_TRUE(withIcc);
    CComPtr<IWICColorContext> context;
    GetFrameColorContext(context.p, withIcc);
    ASSERT_TRUE(context);
    CColorContext cc;
    ConvertCc(context, cc);
    EXPECT_EQ(cc.m_type, static_cast<UINT>(CColorContext::PROFILE));
    EXPECT_GT(cc.m_profile.size(), 128u);

    CComPtr<IWICBitmapFrameDecode> plain = DecodeTestFile(L"basn2c08.png");
    ASSERT_TRUE(plain);
    GetFrameColorContext(context.p, plain);
    EXPECT_FALSE(context);

    CComPtr<IWICBitmapFrameDecode> jpeg = DecodeTestFile(L"icc-3-chunks.jpg");
    ASSERT_TRUE(jpeg);
    GetFrameColorContext(context.p, jpeg);
    if (!context) GTEST_SKIP() << "this WIC reports no colour contexts for JPEG frames";
    ConvertCc(context, cc);
    EXPECT_EQ(cc.m_profile, ReadTestFile(L"srgb-v2.icc")); // three APP2 chunks joined
}

TEST_F(WicColorContext, DumpNamesTheProfile)
{
    CColorContext cc;
    std::wostringstream none;
    cc.Dump(none);
    EXPECT_EQ(none.str(), L"ColorContext type: NONE\n  exifColorSpace: 0\n  profile: (empty)");
    cc.SetProfile(ReadTestFile(L"srgb-v2.icc"));
    std::wostringstream named;
    cc.Dump(named);
    EXPECT_EQ(named.str(), L"ColorContext type: PROFILE\n  exifColorSpace: 0\n  profile: sRGB");
    cc.SetProfile(std::vector<BYTE>(300, 7));
    std::wostringstream failed;
    cc.Dump(failed);
    EXPECT_NE(failed.str().find(L"  profile: FAILED "), std::wstring::npos);
    EXPECT_EQ(ColorContextTypeToString(5), L"ColorContextType::(5)");
}
