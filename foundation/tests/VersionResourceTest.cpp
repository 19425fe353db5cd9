#include "foundation/VersionResource.h"
#include "foundation/Exception.h"
#include "ids/appinfo.h"
#include "ids/foundation.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

namespace {

// The fixture programs are built next to this test executable; without a name, the executable itself.
std::wstring ProgramPath(const wchar_t* fixture = nullptr)
{
    wchar_t path[MAX_PATH] = {};
    const std::wstring self(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    return fixture ? self.substr(0, self.find_last_of(L"\\/") + 1) + fixture + L".exe" : self;
}

CFileVersionInfo LoadFixture(const wchar_t* name)
{
    CFileVersionInfo info;
    info.Load(ProgramPath(name));
    return info;
}

// The failure of `action` has message `id` naming each of the texts.
template <class Action> void ExpectFailure(Action action, UINT id, std::initializer_list<std::wstring> texts)
{
    try {
        action();
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, id);
        for (const auto& text : texts) EXPECT_NE(e.m_message.find(text), std::wstring::npos) << e.m_message;
    }
}

} // namespace

TEST(VersionResource, ReadsTheTestProgramsOwnResource)
{
    const CFileVersionInfo info = LoadFixture(nullptr);
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
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(parts[1], parts[0])), fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(MAKELONG(parts[3], parts[2])), fixed->dwProductVersionLS);
}

TEST(VersionResource, VersionNumbersFromUnusualAndInvalidTexts)
{
    const std::pair<const wchar_t*, std::vector<DWORD>> cases[] = {
        {L"vf_comma", {1, 0, 2, 0}},  {L"vf_short", {1, 0, 0, 0}},      {L"vf_long", {1, 0, 2, 0}},
        {L"vf_blanks", {2, 3, 4, 5}}, {L"vf_secondpair", {3, 1, 0, 0}},
    };
    for (const auto& [fixture, four] : cases) {
        const CFileVersionInfo info = LoadFixture(fixture);
        std::vector<DWORD> numbers{7, 7};
        info.GetVersionNumbers(numbers, 4);
        EXPECT_EQ(numbers, four) << fixture;
    }
    for (const wchar_t* fixture : {L"vf_letter", L"vf_emptypiece", L"vf_hugepart"}) {
        SCOPED_TRACE(fixture);
        const CFileVersionInfo info = LoadFixture(fixture);
        std::vector<DWORD> numbers;
        ExpectFailure([&] { info.GetVersionNumbers(numbers, 4); }, IDS_VERSION_INVALID,
                      {info.GetPath(), info.GetProductVersion()});
    }
    // A part too large for a word is a cast error.
    const CFileVersionInfo info = LoadFixture(L"vf_bigpart");
    std::vector<DWORD> numbers;
    info.GetVersionNumbers(numbers, 4);
    EXPECT_EQ(numbers[1], 70000u);
    WORD parts[4] = {5, 5, 5, 5};
    ExpectFailure([&] { info.GetVersionQuad(parts); }, IDS_CAST_ERROR, {L"DWORD", L"WORD", L"70000"});
    for (WORD part : parts) EXPECT_EQ(part, 5) << "a failed read leaves the output as it was";
}

TEST(VersionResource, FileWithoutVersionResourceOrValues)
{
    for (const std::wstring& path : {ProgramPath(L"vf_noversion"), ProgramPath(L"no_such_program")})
        ExpectFailure([&] { CFileVersionInfo().Load(path); }, IDS_VERSION_SIZE_FAILED, {path});
    const std::tuple<const wchar_t*, UINT, const wchar_t*> cases[] = {
        {L"vf_nocopyright", IDS_VERSION_VALUE_MISSING, L"\\StringFileInfo\\[ALL_TRANSLATES]\\LegalCopyright"},
        {L"vf_notranslation", IDS_VERSION_VALUE_MISSING, L"\\VarFileInfo\\Translation"},
        {L"vf_emptytranslation", IDS_VERSION_VALUE_EMPTY, L"\\VarFileInfo\\Translation"},
    };
    for (const auto& [fixture, id, subBlock] : cases) {
        SCOPED_TRACE(fixture);
        const CFileVersionInfo info = LoadFixture(fixture);
        ExpectFailure([&] { info.GetLegalNotice(); }, id, {info.GetPath(), subBlock});
    }
    EXPECT_EQ(LoadFixture(L"vf_nocopyright").GetProductVersion(), L"1.0.0.0");
}
