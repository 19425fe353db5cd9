// The questions and messages of an automatic run, answered from outside.
#include "E2eFixture.h"

#include "app/ExecChecks.h"

#include "foundation/ResString.h"
#include "tests/support/ScaledTime.h"

#include "resource.h"

#include <functional>

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

// "/start" over a setting the run refuses: one error box, and the form comes up with the faulty
// box focused, so that the user sees that the program is not running; no card is taken.
struct RefusedStart {
    const char* name;
    int box;
    // The settings over an empty destination folder; the message they give (empty: unchecked).
    std::function<std::wstring(ExecValues&, CTempFolder&)> set;
};

class RefusedStartTest : public PromptTest, public testing::WithParamInterface<RefusedStart> {};

TEST_P(RefusedStartTest, ShowsTheFormWithTheFaultyBoxFocused)
{
    ExecValues exec = Values(0);
    const std::wstring expected = GetParam().set(exec, m_temp);
    ASSERT_TRUE(m_settings.Write(exec));
    m_program = std::make_unique<CDebuggedProgram>();
    ASSERT_TRUE(m_program->Start(L"/start"));
    // A settings file of megabytes takes a while to load.
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kWindowWait)) << "no error";
    HWND box = OnlyDialog();
    ASSERT_NE(nullptr, box);
    if (!expected.empty()) {
        EXPECT_EQ(ToUtf8(expected), ToUtf8(DialogStaticTexts(box)));
    }
    RECT boxRect{};
    ::GetWindowRect(box, &boxRect);
    EXPECT_LE(boxRect.right - boxRect.left, ::GetSystemMetrics(SM_CXSCREEN)) << "the box is wider than the screen";
    m_frame = WaitForFrame(Pid(), true, kWindowWait);
    ASSERT_NE(nullptr, m_frame) << "the form is not shown";
    EXPECT_TRUE(AnswerDialog(box, IDOK));

    HWND faulty = ::GetDlgItem(::FindWindowExW(m_frame, nullptr, L"#32770", nullptr), GetParam().box);
    GUITHREADINFO gui{sizeof(gui)};
    const bool focused = WaitUntil(
        [&] {
            return ::GetGUIThreadInfo(::GetWindowThreadProcessId(m_frame, nullptr), &gui) &&
                   (gui.hwndFocus == faulty || ::IsChild(faulty, gui.hwndFocus));
        },
        3000);
    EXPECT_TRUE(focused) << "the faulty box has not the focus";
    ASSERT_EQ(1u, InsertCards({{L"100TESTS"}}).size());
    ExpectNoRun(2000);
}

std::wstring LongText(size_t length, const std::wstring& piece)
{
    std::wstring text;
    while (text.size() < length) text += piece;
    return text;
}

INSTANTIATE_TEST_SUITE_P(
    Settings, RefusedStartTest,
    testing::Values(RefusedStart{"BadPattern", IDC_SRC_FNAME,
                                 [](ExecValues& exec, CTempFolder&) {
                                     exec.srcFname = L"([0-9";
                                     return std::wstring();
                                 }},
                    RefusedStart{"DestinationThatIsAFile", IDC_DST_FOLDER,
                                 [](ExecValues& exec, CTempFolder& temp) {
                                     exec.dstFolder = temp.WriteFile(L"not-a-folder.jpg", "x");
                                     return FormatMessage1(IDS_DST_FOLDER_IS_FILE, exec.dstFolder);
                                 }},
                    // Compiled, a pattern of this size froze the program for minutes.
                    RefusedStart{"PatternOfOneMegabyte", IDC_SRC_FNAME,
                                 [](ExecValues& exec, CTempFolder&) {
                                     exec.srcFname = LongText(1024 * 1024, L"((((((((((a))))))))))");
                                     std::wstring text;
                                     FormatResString(text, IDS_PATTERN_TOO_LONG,
                                                     std::to_wstring(exec.srcFname.size()).c_str(),
                                                     std::to_wstring(fhw::kMaxPatternLength).c_str());
                                     return text;
                                 }},
                    // The message shows the head and the tail of a path of any length.
                    RefusedStart{"RelativeDestinationOfFiveMegabytes", IDC_DST_FOLDER,
                                 [](ExecValues& exec, CTempFolder&) {
                                     exec.dstFolder = LongText(5 * 1024 * 1024, L"Pictures\\") + L"end";
                                     return FormatMessage1(IDS_DST_FOLDER_RELATIVE,
                                                           exec.dstFolder.substr(0, 128) + L"..." +
                                                               exec.dstFolder.substr(exec.dstFolder.size() - 129));
                                 }}),
    [](const testing::TestParamInfo<RefusedStart>& info) { return std::string(info.param.name); });

// The same pattern from the form's Start: refused at once, not after a long compile.
TEST_F(PromptTest, PatternOfOneMegabyteIsRefusedWithinASecond)
{
    ExecValues exec = Values(0);
    exec.srcFname = LongText(1024 * 1024, L"((((((((((a))))))))))");
    ASSERT_TRUE(StartProgram(exec, L""));
    // Timed from a frame that has drawn the megabyte in its box and waits for the user.
    DWORD_PTR result = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(m_frame, WM_NULL, 0, 0, SMTO_NORMAL, kRunWait, &result));
    const DWORD posted = ::GetTickCount();
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_START, 0);
    const bool refused = WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait);
    const DWORD bound = ScaledTime(L"FH_E2E_TIME_SCALE", 1000);
    EXPECT_LT(::GetTickCount() - posted, bound) << "not refused within " << bound << " ms";
    ASSERT_TRUE(refused);
    EXPECT_TRUE(AnswerDialog(FindDialogs(Pid()).front(), IDOK));
    EXPECT_TRUE(::IsWindowVisible(m_frame)) << "the form stays";
}
