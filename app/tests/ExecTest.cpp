// The run's pieces: the checks of its settings, the entries it takes, what arrived, the command
// line and the quiet-period clock.
#include "app/CommandExec.h"
#include "app/CommandInit.h"
#include "app/ExecChecks.h"
#include "app/MainFrame.h"
#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The id `check` throws for `value`, 0 when it passes; the message goes to `message`.
UINT ThrownId(void (*check)(const std::wstring&), const std::wstring& value, std::wstring* message = nullptr)
{
    try {
        check(value);
    } catch (const my::CException& e) {
        if (message) *message = e.m_message;
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
        {L"\\\\server\\share", L"\\\\server\\share", false, 0},
        {L"e", L"E:\\", false, 0},
        {L"C:", L"C:\\", false, 0},
        {L"d:\\Photos", L"d:\\Photos\\", false, 0},
        {L"d:/Photos/", L"d:/Photos/", false, 0},
        {L"", nullptr, false, IDS_SRC_FOLDER_EMPTY},
        {L"DCIM", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"1:\\x", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"/DCIM", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"\x00E9:\\x", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source);
        EXPECT_EQ(ThrownId(fhw::CheckSrcFolder, c.source), c.message);
        if (!c.folder) continue;
        bool perDrive = !c.perDrive;
        EXPECT_EQ(fhw::GetSourceFolder(c.source, perDrive), c.folder);
        EXPECT_EQ(perDrive, c.perDrive);
    }
    // The form's error names the source; backslashes survive the string table.
    std::wstring message, expected;
    ThrownId(fhw::CheckSrcFolder, L"DCIM", &message);
    FormatResString(expected, IDS_SRC_FOLDER_NOT_ABSOLUTE, L"DCIM");
    EXPECT_EQ(message, expected);
    EXPECT_NE(message.find(L"\\ や C:\\"), std::wstring::npos);
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

TEST(ExecChecks, DestinationFolder)
{
    CTempFolder temp;
    const std::wstring file = temp.WriteFile(L"file.jpg", "x");
    const std::pair<std::wstring, UINT> cases[] = {
        {L"", IDS_DST_FOLDER_EMPTY},
        {L"Pictures", IDS_DST_FOLDER_RELATIVE},
        {L"..\\Pictures", IDS_DST_FOLDER_RELATIVE},
        {file, IDS_DST_FOLDER_IS_FILE},
        {temp.Path(), 0},
        {temp.Path(L"not yet\\made"), 0}, // made by the run
    };
    for (const auto& [destination, id] : cases)
        EXPECT_EQ(ThrownId(fhw::CheckDstFolder, destination), id) << destination;
}

TEST(CollectSources, PatternIsSearchedAndResultsAreInNaturalOrder)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"100DCIM", L"DCIM2", L"DCIM10", L"xdcim", L"other", L"101CANON"})
        ::CreateDirectoryW((temp / name).c_str(), nullptr);
    const auto found = fhw::CollectSources(temp.Path(), L"DCIM");
    const std::list<std::wstring> expected{temp / L"100DCIM", temp / L"DCIM2", temp / L"DCIM10"};
    EXPECT_EQ(found, expected) << "unanchored: found anywhere in the name, case-sensitive, natural order";
    const auto anchored = fhw::CollectSources(temp.Path(), L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(anchored, std::list<std::wstring>{temp / L"101CANON"});
}

TEST(CountArrived, CountsWhatStandsAtTheDestination)
{
    CTempFolder temp;
    temp.WriteFile(L"src\\a", "1");
    temp.WriteFile(L"dst\\a", "1");
    temp.WriteFile(L"dst\\b", "2");
    const std::list<std::wstring> sources{temp / L"src\\a", temp / L"src\\b", temp / L"src\\c"};
    EXPECT_EQ(fhw::CountArrived(sources, temp / L"dst", false), 2u);
    EXPECT_EQ(fhw::CountArrived(sources, temp / L"dst\\", true), 1u) << "a moved source must be gone";
}

TEST(CommandLine, OnlyStartIsAccepted)
{
    struct Case {
        std::vector<std::wstring> arguments;
        bool start;
        UINT error;
        const wchar_t* named; // a text the error message must hold
    };
    const Case cases[] = {
        {{L"prog"}, false, 0, nullptr},
        {{L"prog", L"/START"}, true, 0, nullptr},
        {{L"prog", L"-Start"}, true, 0, nullptr},
        {{L"prog", L"/start", L"extra"}, false, 58906, L"/start\r\nextra\r\n"},
        {{L"prog", L"-x"}, false, 58907, L"-x"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arguments.back().c_str());
        fhw::CCommandLineParser parser;
        UINT error = 0;
        try {
            parser.Parse(c.arguments);
        } catch (const my::CException& e) {
            error = e.m_id;
            if (c.named) {
                EXPECT_NE(e.m_message.find(c.named), std::wstring::npos) << e.m_message;
            }
        }
        EXPECT_EQ(error, c.error);
        EXPECT_EQ(parser.m_start, c.start);
    }
}

TEST(Idle, ElapsedAcrossTheTickCountWrap)
{
    fhw::CIdle idle(500);
    idle.m_last = 0xFFFFFF00;
    EXPECT_FALSE(idle.IsElapsed(0xFFFFFFFF));
    EXPECT_FALSE(idle.IsElapsed(0x000000F3));
    EXPECT_TRUE(idle.IsElapsed(0x000000F4));
}
