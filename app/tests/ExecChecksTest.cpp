#include "app/ExecChecks.h"
#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <random>

namespace {

UINT ThrownId(void (*check)(const std::wstring&), const std::wstring& value)
{
    try {
        check(value);
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

} // namespace

TEST(ExecChecks, SourceFolderForms)
{
    struct Case {
        const wchar_t* source;
        const wchar_t* folder; // null: throws `message`
        bool perDrive;
        UINT message;
    };
    const Case cases[] = {
        {L"\\DCIM", L"\\DCIM", true, 0},
        {L"\\", L"\\", true, 0},
        {L"\\\\server\\share", L"\\\\server\\share", false, 0},
        {L"e", L"E:\\", false, 0},
        {L"Z", L"Z:\\", false, 0},
        {L"C:", L"C:\\", false, 0},
        {L"d:\\Photos", L"d:\\Photos\\", false, 0},
        {L"d:\\Photos\\", L"d:\\Photos\\", false, 0},
        {L"d:/Photos/", L"d:/Photos/", false, 0},
        {L"", nullptr, false, IDS_SRC_FOLDER_EMPTY},
        {L"DCIM", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"1", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"/DCIM", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"\x00E9:\\x", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
    };
    for (const Case& c : cases) {
        bool perDrive = !c.perDrive;
        if (c.folder) {
            EXPECT_EQ(fhw::GetSourceFolder(c.source, perDrive), c.folder) << c.source;
            EXPECT_EQ(perDrive, c.perDrive) << c.source;
            EXPECT_NO_THROW(fhw::CheckSrcFolder(c.source));
            continue;
        }
        EXPECT_EQ(ThrownId(fhw::CheckSrcFolder, c.source), c.message) << c.source;
    }
    // The text of the form error names the source.
    try {
        fhw::CheckSrcFolder(L"DCIM");
    } catch (const my::CException& e) {
        std::wstring expected;
        FormatResString(expected, IDS_SRC_FOLDER_NOT_ABSOLUTE, L"DCIM");
        EXPECT_EQ(e.m_message, expected);
        EXPECT_NE(e.m_message.find(L"\\ や C:\\"), std::wstring::npos) << "backslashes survive the string table";
    }
}

TEST(ExecChecks, SourceFolderRandomInputs)
{
    std::mt19937 random(20261206);
    const std::wstring alphabet = L"\\/:aZz0. \x3042";
    for (int round = 0; round < 2000; ++round) {
        std::wstring source;
        const size_t length = random() % 6;
        for (size_t i = 0; i < length; ++i) source += alphabet[random() % alphabet.size()];
        bool perDrive = false;
        try {
            const std::wstring folder = fhw::GetSourceFolder(source, perDrive);
            ASSERT_FALSE(folder.empty());
            ASSERT_GE(folder.size(), source.size());
            if (perDrive) {
                ASSERT_EQ(folder, source);
                ASSERT_EQ(source[0], L'\\');
            } else if (source[0] != L'\\') {
                ASSERT_TRUE(folder.back() == L'\\' || folder.back() == L'/') << source;
                ASSERT_EQ(folder[1], L':');
            }
        } catch (const my::CException& e) {
            ASSERT_TRUE(e.m_id == IDS_SRC_FOLDER_EMPTY || e.m_id == IDS_SRC_FOLDER_NOT_ABSOLUTE);
            ASSERT_EQ(e.m_id == IDS_SRC_FOLDER_EMPTY, source.empty());
        }
    }
}

TEST(ExecChecks, PatternCompilesOrThrowsTheRegexError)
{
    for (const wchar_t* good : {L"^[0-9]{3}[A-Z_]{5}$", L"DCIM", L"", L"\\d+\\s"}) EXPECT_NO_THROW(fhw::CheckPattern(good));
    for (const wchar_t* bad : {L"a(", L"[z-a]", L"*x", L"a{2,1}"})
        EXPECT_THROW(fhw::CheckPattern(bad), boost::regex_error) << bad;
}

TEST(ExecChecks, DestinationFolder)
{
    CTempFolder temp;
    const std::wstring file = temp.WriteFile(L"file.jpg", "x");
    EXPECT_EQ(ThrownId(fhw::CheckDstFolder, L""), static_cast<UINT>(IDS_DST_FOLDER_EMPTY));
    EXPECT_EQ(ThrownId(fhw::CheckDstFolder, L"Pictures"), static_cast<UINT>(IDS_DST_FOLDER_RELATIVE));
    EXPECT_EQ(ThrownId(fhw::CheckDstFolder, L"..\\Pictures"), static_cast<UINT>(IDS_DST_FOLDER_RELATIVE));
    EXPECT_EQ(ThrownId(fhw::CheckDstFolder, file), static_cast<UINT>(IDS_DST_FOLDER_IS_FILE));
    EXPECT_EQ(ThrownId(fhw::CheckDstFolder, temp.Path()), 0u);
    EXPECT_EQ(ThrownId(fhw::CheckDstFolder, temp.Path(L"not yet\\made")), 0u) << "made by the run";
    try {
        fhw::CheckDstFolder(file);
    } catch (const my::CException& e) {
        std::wstring expected;
        FormatResString(expected, IDS_DST_FOLDER_IS_FILE, file.c_str());
        EXPECT_EQ(e.m_message, expected);
    }
}

TEST(ExecChecks, MessagesAreInTheStringTable)
{
    for (UINT id : {IDS_SELECT_FOLDER, IDS_NOTHING_MATCHED, IDS_SRC_FOLDER_EMPTY, IDS_SRC_FOLDER_NOT_ABSOLUTE,
                    IDS_DST_FOLDER_EMPTY, IDS_DST_FOLDER_RELATIVE, IDS_DST_FOLDER_IS_FILE})
        EXPECT_FALSE(LoadResString(id).empty()) << id;
}
