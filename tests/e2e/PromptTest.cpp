// The questions and messages of an automatic run, answered from outside.
#include "E2eFixture.h"

#include "foundation/ResString.h"

#include "resource.h"

namespace {

constexpr DWORD kConfirm = 0x2;
constexpr DWORD kEject = 0x4;

std::string ItemText(HWND dialog, int id) { return ToUtf8(WindowText(::GetDlgItem(dialog, id))); }

// The two lines of the confirm dialog: string-table pairs for move and copy.
std::wstring ConfirmLines(bool copy)
{
    return LoadResString(copy ? 161 : 159) + L"\n" + LoadResString(copy ? 162 : 160);
}

std::wstring FormatMessage1(UINT id, const std::wstring& arg)
{
    std::wstring text;
    FormatResString(text, id, arg.c_str());
    return text;
}

} // namespace

class PromptTest : public ProgramTest {
protected:
    // Waits for the run's first dialog and watches it for 2 s: the one dialog, null (with a
    // failure) when none came or a storm of them.
    HWND OnlyDialog()
    {
        if (!WaitUntil([this] { return !FindDialogs(Pid()).empty(); }, kRunWait)) {
            ADD_FAILURE() << "no question or message";
            return nullptr;
        }
        const std::vector<HWND> seen = DialogsSeenOver(Pid(), 2000);
        EXPECT_EQ(1u, seen.size()) << "a storm of dialogs, or one while another is open";
        return seen.empty() ? nullptr : seen.front();
    }

    // The run stops at one dialog that says `expectedText` (unchecked when empty); answered with
    // `button`, nothing is transferred and nothing more is asked, also not on later timer ticks.
    void AnswerOnlyDialog(const std::wstring& expectedText, int button)
    {
        HWND box = OnlyDialog();
        ASSERT_NE(nullptr, box);
        if (!expectedText.empty()) {
            EXPECT_EQ(ToUtf8(expectedText), ToUtf8(DialogStaticTexts(box)));
        }
        EXPECT_TRUE(AnswerDialog(box, button));
        ExpectNoRun(3000);
    }
};

TEST_F(PromptTest, ConfirmOkMovesTheListedFolders)
{
    const std::wstring drives = ArmWithCards(Values(kConfirm), {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    HWND dialog = OnlyDialog();
    ASSERT_NE(nullptr, dialog);
    EXPECT_EQ(ToUtf8(ConfirmLines(false)), ToUtf8(DialogStaticTexts(dialog)));
    const std::wstring dcim = drives + L":\\DCIM\\";
    EXPECT_EQ(ToUtf8(dcim + L"100TESTS\r\n" + dcim + L"101ABCDE\r\n"), ItemText(dialog, IDC_CONFIRM_SOURCES));
    EXPECT_EQ(ToUtf8(m_destination), ItemText(dialog, IDC_CONFIRM_DESTINATION));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dialog, IDC_CONFIRM_EJECT));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(dialog, IDC_CONFIRM_EXPLORER));
    // Nothing moves while the question is open.
    ExpectNothingMoved();

    EXPECT_TRUE(AnswerDialog(dialog, IDOK));
    ExpectOneTransfer(drives[0], 2, false);
}

TEST_F(PromptTest, ConfirmCancelLeavesEverything)
{
    ASSERT_EQ(1u, ArmWithCards(Values(kConfirm | 1), {{L"100TESTS"}}).size());
    AnswerOnlyDialog(ConfirmLines(true), IDCANCEL);
}

TEST_F(PromptTest, NothingMatchedWithEjectAsksToDisconnect)
{
    const std::wstring drives = ArmWithCards(Values(kEject), {std::vector<std::wstring>()});
    ASSERT_EQ(1u, drives.size());
    AnswerOnlyDialog(FormatMessage1(IDS_DISCONNECT_DRIVE, drives), IDNO);
}

// A setting the run rejects is reported once, not on every timer tick, also while a card arrives.
TEST_F(PromptTest, BadPatternIsReportedOnce)
{
    ExecValues exec = Values(0);
    exec.srcFname = L"([0-9";
    ASSERT_EQ(1u, ArmWithCards(exec, {{L"100TESTS"}}).size());
    AnswerOnlyDialog(std::wstring(), IDOK);
}

TEST_F(PromptTest, DestinationThatIsAFileIsReportedOnce)
{
    ExecValues exec = Values(0);
    exec.dstFolder = m_temp.WriteFile(L"not-a-folder.jpg", "x");
    ASSERT_EQ(1u, ArmWithCards(exec, {{L"100TESTS"}}).size());
    AnswerOnlyDialog(FormatMessage1(IDS_DST_FOLDER_IS_FILE, exec.dstFolder), IDOK);
}
