// Armed by "/start", the program takes the camera folders off every card that arrives.
#include "E2eFixture.h"

class TransferModeTest : public ProgramTest, public testing::WithParamInterface<bool> {};

TEST_P(TransferModeTest, ArrivingCardIsTransferredAfterTheQuietPeriod)
{
    const bool copy = GetParam();
    const std::wstring drives = ArmWithCards(Values(copy ? 1 : 0), {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    const DWORD inserted = ::GetTickCount();
    EXPECT_GE(ExpectOneTransfer(drives[0], 2, copy) - inserted, 500u)
        << "the run did not wait for the quiet period";
}

INSTANTIATE_TEST_SUITE_P(MoveAndCopy, TransferModeTest, testing::Bool());

TEST_F(ProgramTest, EventsLessThanTheQuietPeriodApartMakeOneRun)
{
    const std::wstring drives = ArmWithCards(Values(0), {{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    // Further arrivals of the same drive, each well inside the quiet period of the one before.
    DWORD last = 0;
    for (int i = 0; i < 3; ++i) {
        ::Sleep(250);
        ASSERT_EQ(0, RunDriveTool(L"arrive " + drives, Pid()));
        last = ::GetTickCount();
        EXPECT_TRUE(m_program->Balloons().empty()) << "a run started inside the quiet period";
    }
    EXPECT_GE(ExpectOneTransfer(drives[0], 1, false) - last, 450u) << "the quiet period did not restart";
}

TEST_F(ProgramTest, CardRemovedWithinTheQuietPeriodIsNotProcessed)
{
    ASSERT_EQ(1u, ArmWithCards(Values(0), {{L"100TESTS"}}).size());
    ASSERT_TRUE(m_drives[0]->Remove());
    ExpectNoRun(2500);
}

TEST_F(ProgramTest, TwoCardsAtOnceAreBothProcessed)
{
    const std::wstring drives = ArmWithCards(Values(0), {{L"100TESTS", L"101ABCDE"}, {L"102CARDB"}});
    ASSERT_EQ(2u, drives.size());
    ASSERT_EQ(2u, m_program->WaitBalloons(2, kRunWait));
    EXPECT_EQ(2u, m_program->WaitBalloons(3, 1500)) << "a third balloon";
    // One balloon per drive, in drive order (the letters are handed out from W down).
    ExpectTransferBalloon(0, drives[1], 1, false);
    ExpectTransferBalloon(1, drives[0], 2, false);
    ExpectTransferred(false);
}

TEST_F(ProgramTest, NotArmedNothingHappens)
{
    ASSERT_TRUE(StartProgram(Values(0), L""));
    ASSERT_EQ(1u, InsertCards({{L"100TESTS"}}).size());
    ExpectNoRun(2500);
}
