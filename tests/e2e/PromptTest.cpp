// The questions and messages of an automatic run, answered from outside.
#include "E2eFixture.h"

#include "foundation/ResString.h"

#include "resource.h"

namespace {

constexpr DWORD kConfirm = 0x2;
constexpr DWORD kEject = 0x4;

} // namespace

TEST_F(ProgramTest, ConfirmOkMovesTheListedFolders)
{
    ASSERT_TRUE(Arm(Values(kConfirm)));
    const wchar_t letter = InsertCard({L"100TESTS", L"101ABCDE"}, 11);
    ASSERT_TRUE(letter);
    HWND dialog = WaitForDialog(Pid(), kRunWait);
    ASSERT_NE(nullptr, dialog) << "no confirm dialog";
    EXPECT_EQ(ToUtf8(LoadResString(160)), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_LINE2)));
    const std::wstring dcim = std::wstring(1, letter) + L":\\DCIM\\";
    EXPECT_EQ(ToUtf8(dcim + L"100TESTS\r\n" + dcim + L"101ABCDE\r\n"), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_SOURCES)));
    EXPECT_EQ(ToUtf8(m_destination), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_DESTINATION)));
    EXPECT_FALSE(IsDlgButtonTicked(dialog, IDC_CONFIRM_EJECT));
    EXPECT_FALSE(IsDlgButtonTicked(dialog, IDC_CONFIRM_EXPLORER));
    // Nothing moves while the question is open.
    ::Sleep(700);
    ExpectNothingMoved(*m_card);
    EXPECT_EQ(1u, FindDialogs(Pid()).size()) << "a second dialog while the first is open";

    AnswerDialog(dialog, IDOK);
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    ExpectTransferBalloon(0, letter, 2, false);
    ExpectTransferred(*m_card, false);
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, ConfirmCancelLeavesEverything)
{
    ASSERT_TRUE(Arm(Values(kConfirm | 1)));
    ASSERT_TRUE(InsertCard({L"100TESTS"}, 12));
    HWND dialog = WaitForDialog(Pid(), kRunWait);
    ASSERT_NE(nullptr, dialog) << "no confirm dialog";
    EXPECT_EQ(ToUtf8(LoadResString(162)), ToUtf8(DialogItemText(dialog, IDC_CONFIRM_LINE2))) << "copy wording";
    AnswerDialog(dialog, IDCANCEL);
    EXPECT_TRUE(WaitGone(dialog, 5000));
    ExpectNoRunAndExit(2000);
}

TEST_F(ProgramTest, NothingMatchedWithEjectAsksToDisconnect)
{
    ASSERT_TRUE(Arm(Values(kEject)));
    const wchar_t letter = InsertCard({}, 13);
    ASSERT_TRUE(letter);
    HWND box = WaitForDialog(Pid(), kRunWait);
    ASSERT_NE(nullptr, box) << "no question";
    EXPECT_EQ(ToUtf8(FormatMessage1(IDS_DISCONNECT_DRIVE, std::wstring(1, letter))), ToUtf8(DialogStaticTexts(box)));
    AnswerDialog(box, IDNO);
    EXPECT_TRUE(WaitGone(box, 5000));
    ExpectNoRunAndExit(2000);
}

// A setting the run rejects is reported once, not on every timer tick, also while a card arrives.
class RejectedSettingTest : public ProgramTest {
protected:
    void ExpectOneMessage(const ExecValues& exec, const std::wstring& expectedText)
    {
        ASSERT_TRUE(Arm(exec));
        ASSERT_TRUE(InsertCard({L"100TESTS"}, 14));
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
        ExpectNoRunAndExit(0);
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
