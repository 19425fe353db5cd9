#include "foundation/Exception.h"
#include "foundation/NarrowCast.h"
#include "foundation/ResString.h"
#include "foundation/VersionResource.h"
#include "ids/appinfo.h"
#include "ids/foundation.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::wstring SelfPath()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return std::wstring(path, n);
}

// The fixture programs are built next to this test executable.
std::wstring FixturePath(const wchar_t* name)
{
    std::wstring path = SelfPath();
    path.resize(path.find_last_of(L"\\/") + 1);
    return path + name + L".exe";
}

CFileVersionInfo LoadFixture(const wchar_t* name)
{
    CFileVersionInfo info;
    info.Load(FixturePath(name));
    return info;
}

bool Contains(const std::wstring& text, const std::wstring& part) { return text.find(part) != std::wstring::npos; }

} // namespace

TEST(VersionResource, ReadsTheTestProgramsOwnResource)
{
    CFileVersionInfo info;
    info.Load(SelfPath());
    EXPECT_EQ(info.GetPath(), SelfPath());
    EXPECT_EQ(info.GetProductVersion(), L"1.0.0.0");
    EXPECT_EQ(info.GetLegalNotice(), L"Copyright (C) 2026 Fernhollow Labs");

    // The fixed part of the block, read straight from the system, is the reference for the numbers.
    void* data = nullptr;
    UINT length = 0;
    ASSERT_TRUE(info.QueryValue(L"\\", data, length));
    ASSERT_GE(length, sizeof(VS_FIXEDFILEINFO));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
    WORD parts[4] = {9, 9, 9, 9};
    info.GetVersionQuad(parts);
    EXPECT_EQ(parts[0], HIWORD(fixed->dwProductVersionMS));
    EXPECT_EQ(parts[1], LOWORD(fixed->dwProductVersionMS));
    EXPECT_EQ(parts[2], HIWORD(fixed->dwProductVersionLS));
    EXPECT_EQ(parts[3], LOWORD(fixed->dwProductVersionLS));

    DLLVERSIONINFO dll{};
    info.GetDllVersion(dll);
    EXPECT_EQ(dll.cbSize, sizeof(DLLVERSIONINFO));
    EXPECT_EQ(dll.dwMajorVersion, 1u);
    EXPECT_EQ(dll.dwMinorVersion, 0u);
    EXPECT_EQ(dll.dwBuildNumber, 0u);
    EXPECT_EQ(dll.dwPlatformID, static_cast<DWORD>(DLLVER_PLATFORM_NT));
}

TEST(VersionResource, QueryValueForms)
{
    CFileVersionInfo empty;
    void* data = reinterpret_cast<void*>(1);
    UINT length = 7;
    EXPECT_FALSE(empty.QueryValue(L"\\", data, length));
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(length, 0u);

    CFileVersionInfo info;
    info.Load(SelfPath());
    EXPECT_TRUE(info.QueryValue(L"\\VarFileInfo\\Translation"));
    EXPECT_EQ(info.QueryValueCount(L"\\VarFileInfo\\Translation", data), 1u);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(static_cast<const WORD*>(data)[0], 0x411);
    EXPECT_EQ(static_cast<const WORD*>(data)[1], 1200);
    EXPECT_FALSE(info.QueryValue(L"\\StringFileInfo\\041104b0\\NoSuchValue"));
    EXPECT_EQ(info.QueryValueCount(L"\\StringFileInfo\\041104b0\\NoSuchValue", data), 0u);
}

TEST(VersionResource, VersionNumbersFromUnusualTexts)
{
    struct Case {
        const wchar_t* fixture;
        std::vector<DWORD> four;
    };
    const Case cases[] = {
        {L"vf_comma", {1, 0, 2, 0}},
        {L"vf_short", {1, 0, 0, 0}},
        {L"vf_long", {1, 0, 2, 0}},
        {L"vf_blanks", {2, 3, 4, 5}},
        {L"vf_secondpair", {3, 1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const CFileVersionInfo info = LoadFixture(c.fixture);
        std::vector<DWORD> numbers{7, 7};
        info.GetVersionNumbers(numbers, 4);
        EXPECT_EQ(numbers, c.four);
        WORD parts[4] = {};
        info.GetVersionQuad(parts);
        for (size_t i = 0; i < 4; ++i) EXPECT_EQ(parts[i], c.four[i]);
        // Fewer numbers asked for than pieces: the rest are not looked at.
        info.GetVersionNumbers(numbers, 2);
        EXPECT_EQ(numbers, std::vector<DWORD>(c.four.begin(), c.four.begin() + 2));
    }
}

TEST(VersionResource, InvalidVersionTextsThrow)
{
    const wchar_t* const fixtures[] = {L"vf_letter", L"vf_emptypiece", L"vf_hugepart"};
    for (const wchar_t* fixture : fixtures) {
        SCOPED_TRACE(fixture);
        const CFileVersionInfo info = LoadFixture(fixture);
        const std::wstring text = info.GetProductVersion();
        std::vector<DWORD> numbers;
        try {
            info.GetVersionNumbers(numbers, 4);
            ADD_FAILURE() << "no exception";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_VERSION_INVALID));
            std::wstring expected;
            FormatResString(expected, IDS_VERSION_INVALID, info.GetPath().c_str(), text.c_str());
            EXPECT_EQ(e.m_message, expected);
        }
    }
}

TEST(VersionResource, PartTooLargeForAWordIsACastError)
{
    const CFileVersionInfo info = LoadFixture(L"vf_bigpart");
    std::vector<DWORD> numbers;
    info.GetVersionNumbers(numbers, 4);
    EXPECT_EQ(numbers[1], 70000u);
    WORD parts[4] = {5, 5, 5, 5};
    try {
        info.GetVersionQuad(parts);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CAST_ERROR));
        std::wstring expected;
        FormatResString(expected, IDS_CAST_ERROR, L"DWORD", L"WORD", L"70000");
        EXPECT_EQ(e.m_message, expected);
    }
    for (WORD part : parts) EXPECT_EQ(part, 5) << "a failed read leaves the output as it was";
}

TEST(VersionResource, FileWithoutVersionResource)
{
    CFileVersionInfo info;
    const std::wstring path = FixturePath(L"vf_noversion");
    ASSERT_NE(::GetFileAttributesW(path.c_str()), INVALID_FILE_ATTRIBUTES);
    try {
        info.Load(path);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_VERSION_SIZE_FAILED));
        EXPECT_TRUE(FAILED(static_cast<HRESULT>(e.m_code)));
        EXPECT_TRUE(Contains(e.m_message, path));
    }
    try {
        info.Load(FixturePath(L"no_such_program"));
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_VERSION_SIZE_FAILED));
        EXPECT_TRUE(FAILED(static_cast<HRESULT>(e.m_code)));
    }
}

TEST(VersionResource, MissingValuesNameWhatWasLookedFor)
{
    struct Case {
        const wchar_t* fixture;
        UINT id;
        const wchar_t* subBlock;
    };
    const Case cases[] = {
        {L"vf_nocopyright", IDS_VERSION_VALUE_MISSING, L"\\StringFileInfo\\[ALL_TRANSLATES]\\LegalCopyright"},
        {L"vf_notranslation", IDS_VERSION_VALUE_MISSING, L"\\VarFileInfo\\Translation"},
        {L"vf_emptytranslation", IDS_VERSION_VALUE_EMPTY, L"\\VarFileInfo\\Translation"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fixture);
        const CFileVersionInfo info = LoadFixture(c.fixture);
        try {
            info.GetLegalNotice();
            ADD_FAILURE() << "no exception";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, c.id);
            std::wstring expected;
            FormatResString(expected, c.id, info.GetPath().c_str(), c.subBlock);
            EXPECT_EQ(e.m_message, expected);
        }
    }
    EXPECT_EQ(LoadFixture(L"vf_nocopyright").GetProductVersion(), L"1.0.0.0");
}

TEST(VersionResource, NarrowingAndBlanks)
{
    EXPECT_EQ(NarrowToWord(0), 0);
    EXPECT_EQ(NarrowToWord(65535), 65535);
    EXPECT_THROW(NarrowToWord(65536), my::CException);
    try {
        ThrowConversionError(L"INT64", L"DWORD", -5LL);
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CAST_ERROR));
        EXPECT_NE(e.m_message.find(L"-5"), std::wstring::npos);
    }
    for (wchar_t c : std::wstring(L" \t\r\n")) EXPECT_TRUE(IsBlank(c));
    for (wchar_t c : std::wstring(L"a0\x3000\v")) EXPECT_FALSE(IsBlank(c));
}

TEST(VersionResource, MessagesExistInBothLanguages)
{
    // The test runs once per language; each run loads the table of its own language.
    for (UINT id = IDS_VERSION_SIZE_FAILED; id <= IDS_VERSION_INVALID; ++id) {
        std::wstring text;
        LoadResString(text, id);
        EXPECT_NE(text.find(L"%s"), std::wstring::npos) << id;
        const bool japanese = text.find(L"バージョン") != std::wstring::npos;
        EXPECT_EQ(japanese, IsJapaneseUi()) << id;
    }
}
