#include "app/CommandExec.h"
#include "app/CommandInit.h"
#include "app/MainFrame.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

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
    fhw::CCommandLineParser whole;
    whole.CSimpleCommandLineParser::Parse(L"\"C:\\Program Files\\fh.exe\" /start");
    EXPECT_TRUE(whole.m_start);
}

TEST(Idle, ElapsedAcrossTheTickCountWrap)
{
    fhw::CIdle idle(500);
    idle.m_last = 0xFFFFFF00;
    EXPECT_FALSE(idle.IsElapsed(0xFFFFFFFF));
    EXPECT_FALSE(idle.IsElapsed(0x000000F3));
    EXPECT_TRUE(idle.IsElapsed(0x000000F4));
}
