// Armed by "/start", the program takes the camera folders off every card that arrives.
#include "E2eFixture.h"

#include <cstdio>
#include <utility>

class TransferModeTest : public ProgramTest, public testing::WithParamInterface<bool> {};

TEST_P(TransferModeTest, ArrivingCardIsTransferredAfterTheQuietPeriod)
{
    const bool copy = GetParam();
    const std::wstring drives = ArmWithCards(Values(copy ? 1 : 0), {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    const DWORD inserted = ::GetTickCount();
    EXPECT_GE(ExpectOneTransfer(drives[0], 2, copy) - inserted, 500u) << "the run did not wait for the quiet period";
}

INSTANTIATE_TEST_SUITE_P(MoveAndCopy, TransferModeTest, testing::Bool());

TEST_F(ProgramTest, EventsLessThanTheQuietPeriodApartMakeOneRun)
{
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    // Four arrivals of the same drive, each meant to come well inside the quiet period of the one
    // before. The program saw two of them at most `gap` apart (from the start of one announcement
    // to the end of the next). A machine too busy to keep that under the quiet period may rightly
    // start a run early; then only the transfer itself is checked.
    DWORD previous = ::GetTickCount();
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    bool allShort = true;
    for (int i = 0; i < 3; ++i) {
        ::Sleep(200);
        const DWORD sent = ::GetTickCount();
        ASSERT_TRUE(AnnounceArrival(drives, Pid()));
        const DWORD gap = ::GetTickCount() - std::exchange(previous, sent);
        if (gap >= 450) {
            std::printf("arrival %d came up to %lu ms after the one before: timing not judged\n", i + 2, gap);
            allShort = false;
        }
        if (allShort) {
            EXPECT_TRUE(m_program->Balloons().empty()) << "a run started inside the quiet period";
        }
    }
    if (!allShort) {
        ASSERT_GE(m_program->WaitBalloons(1, kRunWait), 1u) << "no balloon after the card arrived";
        ExpectTransferred(false);
        return;
    }
    EXPECT_GE(ExpectOneTransfer(drives[0], 1, false) - previous, 450u) << "the quiet period did not restart";
}

TEST_F(ProgramTest, CardRemovedWithinTheQuietPeriodIsNotProcessed)
{
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    const DWORD sent = ::GetTickCount();
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ASSERT_TRUE(m_drives[0]->Remove());
    if (const DWORD gap = ::GetTickCount() - sent; gap >= 450)
        GTEST_SKIP() << "the card was removed up to " << gap << " ms after it arrived, not within the quiet period";
    ExpectNoRun(2500);
}

TEST_F(ProgramTest, TwoCardsAtOnceAreBothProcessed)
{
    const std::wstring drives = ArmWithCards(Values(0), {{L"100TESTS", L"101ABCDE"}, {L"102CARDB"}});
    ASSERT_EQ(2u, drives.size());
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    EXPECT_EQ(1u, m_program->WaitBalloons(2, 1500)) << "a second balloon hid the first drive's at once";
    // One balloon for the run, a line per drive in drive order (the letters are handed out from W down).
    EXPECT_EQ(ToUtf8(TransferLine(drives[1], 1, false) + L"\n" + TransferLine(drives[0], 2, false)),
              ToUtf8(m_program->Balloons()[0].text));
    ExpectTransferred(false);
}

TEST_F(ProgramTest, NotArmedNothingHappens)
{
    ASSERT_TRUE(StartProgram(Values(0), L""));
    ASSERT_EQ(1u, InsertCards({{L"100TESTS"}}).size());
    ExpectNoRun(2500);
}
