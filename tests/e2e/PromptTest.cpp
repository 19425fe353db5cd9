// The questions and messages of an automatic run, answered from outside.
#include "E2eFixture.h"

#include "foundation/ResString.h"

#include "resource.h"

namespace {

constexpr DWORD kPromptWait = 15000;
constexpr DWORD kConfirm = 0x2;
constexpr DWORD kEject = 0x4;

} // namespace

class PromptTest : public ProgramTest {
protected:
    bool Arm(const ExecValues& exec) { return StartProgram(exec, L"/start"); }

    ExecValues Values(DWORD flags)
    {
        ExecValues exec;
        exec.flags = flags;
        exec.dstFolder = m_destination = MakeDestination();
        return exec;
    }

    std::wstring m_destination;
};

TEST_F(PromptTest, ConfirmOkMovesTheListedFolders)
{
    ASSERT_TRUE(Arm(Values(kConfirm)));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS", L"101ABCDE"}, 11);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());

    HWND dialog = WaitForDialog(Pid(), kPromptWait);
    ASSERT_NE(nullptr, dialog) << "no confirm dialog";
    EXPECT_EQ(ToUtf8(LoadResString(160)), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_LINE2)));
    const std::wstring dcim = std::wstring(1, letters[0]) + L":\\DCIM\\";
    EXPECT_EQ(ToUtf8(dcim + L"100TESTS\r\n" + dcim + L"101ABCDE\r\n"), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_SOURCES)));
    EXPECT_EQ(ToUtf8(m_destination), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_DESTINATION)));
    EXPECT_FALSE(IsDlgButtonTicked(dialog, IDC_CONFIRM_EJECT));
    EXPECT_FALSE(IsDlgButtonTicked(dialog, IDC_CONFIRM_EXPLORER));
    // Nothing moves while the question is open.
    ::Sleep(700);
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card while asking");
    EXPECT_EQ(1u, FindDialogs(Pid()).size()) << "a second dialog while the first is open";

    AnswerDialog(dialog, IDOK);
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kPromptWait));
    EXPECT_EQ(ToUtf8(ExpectedTransferBalloon(letters[0], 2, false).text), ToUtf8(m_program->Balloons().front().text));
    ExpectSameTree(card.CameraPart(), SnapshotTree(m_destination), "destination");
    ExpectSameTree(card.WithoutCameraPart(), SnapshotTree(card.Root()), "card");
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(PromptTest, ConfirmCancelLeavesEverything)
{
    ASSERT_TRUE(Arm(Values(kConfirm | 1)));
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS"}, 12);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());

    HWND dialog = WaitForDialog(Pid(), kPromptWait);
    ASSERT_NE(nullptr, dialog) << "no confirm dialog";
    EXPECT_EQ(ToUtf8(LoadResString(162)), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_LINE2))) << "copy wording";
    AnswerDialog(dialog, IDCANCEL);
    EXPECT_TRUE(WaitGone(dialog, 5000));
    ExpectNoBalloonWithin(2000);
    EXPECT_TRUE(FindDialogs(Pid()).empty());
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    ExpectSameTree({}, SnapshotTree(m_destination), "destination");
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(PromptTest, NothingMatchedWithEjectAsksToDisconnect)
{
    ASSERT_TRUE(Arm(Values(kEject)));
    CCameraCard card = CCameraCard::WithoutCameraFolders(m_temp.Path(L"card"), 13);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());

    HWND box = WaitForDialog(Pid(), kPromptWait);
    ASSERT_NE(nullptr, box) << "no question";
    EXPECT_EQ(ToUtf8(FormatMessage1(IDS_DISCONNECT_DRIVE, std::wstring(1, letters[0]))), ToUtf8(DialogStaticTexts(box)));
    AnswerDialog(box, IDNO);
    EXPECT_TRUE(WaitGone(box, 5000));
    ExpectNoBalloonWithin(2000);
    EXPECT_TRUE(FindDialogs(Pid()).empty());
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    EXPECT_EQ(1, ExitProgram());
}

// A setting the run rejects is reported once, not on every timer tick, also while a card arrives.
class RejectedSettingTest : public PromptTest {
protected:
    void ExpectOneMessage(const ExecValues& exec, const std::wstring& expectedText)
    {
        ASSERT_TRUE(StartProgram(exec, L"/start"));
        CCameraCard card(m_temp.Path(L"card"), {L"100TESTS"}, 14);
        const std::vector<wchar_t> letters = FreeDriveLetters(1);
        ASSERT_EQ(1u, letters.size());
        CCardDrive drive(letters[0], card.Root(), Pid());
        ASSERT_TRUE(drive.Insert());

        std::vector<HWND> seen;
        EXPECT_EQ(1u, CountDialogsOver(Pid(), 3000, &seen)) << "no message, or a storm of them";
        if (!seen.empty() && !expectedText.empty()) {
            EXPECT_EQ(ToUtf8(expectedText), ToUtf8(DialogStaticTexts(seen.front())));
        }
        for (HWND box : seen) {
            AnswerDialog(box, IDOK);
            EXPECT_TRUE(WaitGone(box, 5000));
        }
        EXPECT_EQ(0u, CountDialogsOver(Pid(), 3000)) << "more messages after OK";
        EXPECT_TRUE(m_program->Balloons().empty());
        ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
        EXPECT_EQ(1, ExitProgram());
    }
};

TEST_F(RejectedSettingTest, BadPattern)
{
    ExecValues exec = Values(0);
    exec.srcFname = L"([0-9";
    ExpectOneMessage(exec, std::wstring());
}

TEST_F(RejectedSettingTest, DestinationIsAFile)
{
    ExecValues exec = Values(0);
    exec.dstFolder = m_temp.WriteFile(L"not-a-folder.jpg", "x");
    ExpectOneMessage(exec, FormatMessage1(IDS_DST_FOLDER_IS_FILE, exec.dstFolder));
}
