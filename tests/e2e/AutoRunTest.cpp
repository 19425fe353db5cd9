// Armed by "/start", the program takes the camera folders off every card that arrives.
#include "E2eFixture.h"

TEST_F(ProgramTest, ArrivingCardIsMovedAfterTheQuietPeriod)
{
    ASSERT_TRUE(Arm(Values(0)));
    const wchar_t letter = InsertCard({L"100TESTS", L"101ABCDE"}, 1);
    ASSERT_TRUE(letter);
    const DWORD inserted = ::GetTickCount();

    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait)) << "no balloon after the card arrived";
    ExpectTransferBalloon(0, letter, 2, false);
    EXPECT_GE(m_program->Balloons()[0].tick - inserted, 500u) << "the run did not wait for the quiet period";
    ExpectTransferred(*m_card, false);
    ExpectNoBalloonWithin(1500);
    EXPECT_TRUE(FindDialogs(Pid()).empty());
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, CopyModeLeavesTheCardWhole)
{
    ASSERT_TRUE(Arm(Values(1)));
    const wchar_t letter = InsertCard({L"100TESTS", L"101ABCDE"}, 2);
    ASSERT_TRUE(letter);
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    ExpectTransferBalloon(0, letter, 2, true);
    ExpectTransferred(*m_card, true);
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, EventsLessThanTheQuietPeriodApartMakeOneRun)
{
    ASSERT_TRUE(Arm(Values(0)));
    const wchar_t letter = InsertCard({L"100TESTS"}, 3);
    ASSERT_TRUE(letter);
    // Further arrivals of the same drive, each well inside the quiet period of the one before.
    DWORD last = ::GetTickCount();
    for (int i = 0; i < 3; ++i) {
        ::Sleep(250);
        ASSERT_EQ(0, RunDriveTool(std::wstring(L"arrive ") + letter, Pid()));
        last = ::GetTickCount();
        EXPECT_TRUE(m_program->Balloons().empty()) << "a run started inside the quiet period";
    }
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    EXPECT_GE(m_program->Balloons()[0].tick - last, 450u) << "the quiet period did not restart";
    ExpectNoBalloonWithin(2000);
    ExpectTransferred(*m_card, false);
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, CardRemovedWithinTheQuietPeriodIsNotProcessed)
{
    ASSERT_TRUE(Arm(Values(0)));
    ASSERT_TRUE(InsertCard({L"100TESTS"}, 4));
    ASSERT_TRUE(m_drive->Remove());
    ExpectNoRunAndExit(2500);
}

TEST_F(ProgramTest, TwoCardsAtOnceAreBothProcessed)
{
    ASSERT_TRUE(Arm(Values(0)));
    CCameraCard first(m_temp.Path(L"card1"), {L"100TESTS", L"101ABCDE"}, 5);
    CCameraCard second(m_temp.Path(L"card2"), {L"102CARDB"}, 6);
    const std::vector<wchar_t> letters = FreeDriveLetters(2);
    ASSERT_EQ(2u, letters.size());
    CCardDrive a(letters[0], first.Root(), Pid());
    CCardDrive b(letters[1], second.Root(), Pid());
    ASSERT_TRUE(a.Define() && b.Define());
    ASSERT_EQ(0, RunDriveTool(std::wstring(L"arrive ") + letters[0] + letters[1], Pid()));

    ASSERT_EQ(2u, m_program->WaitBalloons(2, kRunWait));
    ExpectNoBalloonWithin(1500);
    // One balloon per drive, in drive order (the letters are handed out from W down).
    ExpectTransferBalloon(0, letters[1], 1, false);
    ExpectTransferBalloon(1, letters[0], 2, false);
    TreeSnapshot both = first.CameraPart();
    for (const auto& entry : second.CameraPart()) both.insert(entry);
    ExpectSameTree(both, SnapshotTree(m_destination), "destination");
    ExpectSameTree(first.WithoutCameraPart(), SnapshotTree(first.Root()), "first card");
    ExpectSameTree(second.WithoutCameraPart(), SnapshotTree(second.Root()), "second card");
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, NotArmedNothingHappens)
{
    ASSERT_TRUE(StartProgram(Values(0), L""));
    EXPECT_TRUE(::IsWindowVisible(m_frame));
    ASSERT_TRUE(InsertCard({L"100TESTS"}, 7));
    ExpectNoRunAndExit(2500);
}
