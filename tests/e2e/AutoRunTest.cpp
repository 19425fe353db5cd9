// Armed by "/start", the program takes the camera folders off every card that arrives.
#include "E2eFixture.h"

namespace {

constexpr DWORD kRunWait = 15000;

} // namespace

class AutoRunTest : public ProgramTest {
protected:
    // Arms the program over an empty destination; flags as given.
    bool Arm(DWORD flags)
    {
        m_destination = MakeDestination();
        ExecValues exec;
        exec.flags = flags;
        exec.dstFolder = m_destination;
        return StartProgram(exec, L"/start");
    }

    void ExpectTransferred(const CCameraCard& card, bool copy)
    {
        ExpectSameTree(card.CameraPart(), SnapshotTree(m_destination), "destination");
        ExpectSameTree(copy ? card.Original() : card.WithoutCameraPart(), SnapshotTree(card.Root()), "card");
    }

    std::wstring m_destination;
};

TEST_F(AutoRunTest, ArrivingCardIsMovedAfterTheQuietPeriod)
{
    ASSERT_TRUE(Arm(0));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS", L"101ABCDE"}, 1);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());
    const DWORD inserted = ::GetTickCount();

    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait)) << "no balloon after the card arrived";
    const Balloon balloon = m_program->Balloons().front();
    const Balloon expected = ExpectedTransferBalloon(letters[0], 2, false);
    EXPECT_EQ(ToUtf8(expected.title), ToUtf8(balloon.title));
    EXPECT_EQ(ToUtf8(expected.text), ToUtf8(balloon.text));
    EXPECT_GE(balloon.tick - inserted, 500u) << "the run did not wait for the quiet period";
    ExpectTransferred(card, false);
    ExpectNoBalloonWithin(1500);
    EXPECT_TRUE(FindDialogs(Pid()).empty());
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(AutoRunTest, CopyModeLeavesTheCardWhole)
{
    ASSERT_TRUE(Arm(1));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS", L"101ABCDE"}, 2);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());

    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    const Balloon balloon = m_program->Balloons().front();
    const Balloon expected = ExpectedTransferBalloon(letters[0], 2, true);
    EXPECT_EQ(ToUtf8(expected.title), ToUtf8(balloon.title));
    EXPECT_EQ(ToUtf8(expected.text), ToUtf8(balloon.text));
    ExpectTransferred(card, true);
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(AutoRunTest, EventsLessThanTheQuietPeriodApartMakeOneRun)
{
    ASSERT_TRUE(Arm(0));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS"}, 3);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());
    // Further arrivals of the same drive, each well inside the quiet period of the one before.
    DWORD last = ::GetTickCount();
    for (int i = 0; i < 3; ++i) {
        ::Sleep(250);
        ASSERT_EQ(0, RunDriveTool(std::wstring(L"arrive ") + letters[0], Pid()));
        last = ::GetTickCount();
        EXPECT_TRUE(m_program->Balloons().empty()) << "a run started inside the quiet period";
    }
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    EXPECT_GE(m_program->Balloons().front().tick - last, 450u) << "the quiet period did not restart";
    ExpectNoBalloonWithin(2000);
    ExpectTransferred(card, false);
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(AutoRunTest, CardRemovedWithinTheQuietPeriodIsNotProcessed)
{
    ASSERT_TRUE(Arm(0));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS"}, 4);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());
    ASSERT_TRUE(drive.Remove());
    ExpectNoBalloonWithin(2500);
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    ExpectSameTree({}, SnapshotTree(m_destination), "destination");
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(AutoRunTest, TwoCardsAtOnceAreBothProcessed)
{
    ASSERT_TRUE(Arm(0));
    CCameraCard first(m_temp.Path(L"card1"), {L"100TESTS", L"101ABCDE"}, 5);
    CCameraCard second(m_temp.Path(L"card2"), {L"102CARDB"}, 6);
    const std::vector<wchar_t> letters = FreeDriveLetters(2);
    ASSERT_EQ(2u, letters.size());
    CCardDrive a(letters[0], first.Root(), Pid());
    CCardDrive b(letters[1], second.Root(), Pid());
    ASSERT_TRUE(a.Define());
    ASSERT_TRUE(b.Define());
    ASSERT_EQ(0, RunDriveTool(std::wstring(L"arrive ") + letters[0] + letters[1], Pid()));

    ASSERT_EQ(2u, m_program->WaitBalloons(2, kRunWait));
    ExpectNoBalloonWithin(1500);
    // One balloon per drive, in drive order.
    const wchar_t low = std::min(letters[0], letters[1]);
    const wchar_t high = std::max(letters[0], letters[1]);
    const std::vector<Balloon> balloons = m_program->Balloons();
    EXPECT_EQ(ToUtf8(ExpectedTransferBalloon(low, low == letters[0] ? 2 : 1, false).text), ToUtf8(balloons[0].text));
    EXPECT_EQ(ToUtf8(ExpectedTransferBalloon(high, high == letters[0] ? 2 : 1, false).text), ToUtf8(balloons[1].text));

    TreeSnapshot both = first.CameraPart();
    for (const auto& entry : second.CameraPart()) both.insert(entry);
    ExpectSameTree(both, SnapshotTree(m_destination), "destination");
    ExpectSameTree(first.WithoutCameraPart(), SnapshotTree(first.Root()), "first card");
    ExpectSameTree(second.WithoutCameraPart(), SnapshotTree(second.Root()), "second card");
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, NotArmedNothingHappens)
{
    const std::wstring destination = MakeDestination();
    ExecValues exec;
    exec.dstFolder = destination;
    ASSERT_TRUE(StartProgram(exec, L""));
    EXPECT_TRUE(::IsWindowVisible(m_frame));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS"}, 7);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());
    ExpectNoBalloonWithin(2500);
    EXPECT_TRUE(FindDialogs(Pid()).empty());
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    ExpectSameTree({}, SnapshotTree(destination), "destination");
    EXPECT_EQ(1, ExitProgram());
}
