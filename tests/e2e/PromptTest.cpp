// The questions and messages of an automatic run, answered from outside.
#include "E2eFixture.h"

#include "app/ExecChecks.h"
#include "app/Setting.h"

#include "foundation/ResString.h"
#include "foundation/SimpleErr.h"
#include "ids/ui.h"
#include "ids/xml.h"
#include "shell/Clipboard.h"
#include "tests/support/ScaledTime.h"

#include "resource.h"

#include <algorithm>
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

// A relative path of exactly `length` characters.
std::wstring RelativePath(size_t length)
{
    std::wstring path = LongText(length, L"Pictures\\");
    return path.replace(length - 3, std::wstring::npos, L"end");
}

INSTANTIATE_TEST_SUITE_P(Settings, RefusedStartTest,
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
                                         // The message shows the head and the tail of the longest path.
                                         RefusedStart{"RelativeDestinationAtTheLongestPath", IDC_DST_FOLDER,
                                                      [](ExecValues& exec, CTempFolder&) {
                                                          exec.dstFolder = RelativePath(fhw::kMaxPathLength);
                                                          return FormatMessage1(
                                                              IDS_DST_FOLDER_RELATIVE,
                                                              exec.dstFolder.substr(0, 128) + L"..." +
                                                                  exec.dstFolder.substr(exec.dstFolder.size() - 129));
                                                      }}),
                         [](const testing::TestParamInfo<RefusedStart>& info) { return std::string(info.param.name); });

// A settings file holding a text longer than its box may hold: the prompt that names the setting
// comes within a second of what an ordinary start takes, before any box is given the text (laying
// out such a text takes minutes); Cancel ends the program
// and leaves the file as it was.
struct OverlongSetting {
    const char* name;
    const wchar_t* element;
    std::function<void(ExecValues&)> set;
};

class OverlongSettingTest : public PromptTest, public testing::WithParamInterface<OverlongSetting> {};

TEST_P(OverlongSettingTest, IsRefusedWithThePromptWithinASecondOfTheStart)
{
    ExecValues exec = Values(0);
    // The bound is for what the overlong text adds to a start: a start with ordinary settings, to its
    // window, is timed here and now, since a Wine start late in a long run of tests costs more.
    ASSERT_TRUE(m_settings.Write(exec));
    m_program = std::make_unique<CDebuggedProgram>();
    const DWORD ordinaryStarted = ::GetTickCount();
    ASSERT_TRUE(m_program->Start(L""));
    m_frame = WaitForFrame(Pid(), true, kWindowWait);
    const DWORD ordinary = ::GetTickCount() - ordinaryStarted;
    ASSERT_NE(nullptr, m_frame) << "no window after an ordinary start";
    ASSERT_EQ(1, ExitProgram());

    GetParam().set(exec);
    ASSERT_TRUE(m_settings.Write(exec));
    const std::string written = m_settings.ReadBytes();
    const DWORD bound = ordinary + ScaledTime(L"FH_E2E_TIME_SCALE", 1000);
    // A freeze shows at every start, a busy machine's pause seldom twice: a slow first start is
    // measured again.
    DWORD best = INFINITE;
    for (int start = 0; start < 2 && best >= bound; ++start) {
        m_program = std::make_unique<CDebuggedProgram>();
        const DWORD started = ::GetTickCount();
        ASSERT_TRUE(m_program->Start(L""));
        const bool asked = WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kWindowWait);
        best = std::min(best, ::GetTickCount() - started);
        ASSERT_TRUE(asked) << "no prompt";
        HWND box = OnlyDialog();
        ASSERT_NE(nullptr, box);
        const std::wstring text = DialogStaticTexts(box);
        EXPECT_NE(std::wstring::npos, text.find(std::wstring(L"Exec -> ") + GetParam().element)) << ToUtf8(text);
        EXPECT_TRUE(AnswerDialog(box, IDCANCEL));
        EXPECT_EQ(1, m_program->WaitExit(kWindowWait)) << "Cancel ends the program";
    }
    EXPECT_LT(best, bound) << "not asked within " << bound << " ms of the start (an ordinary start took " << ordinary
                           << " ms)";
    EXPECT_TRUE(written == m_settings.ReadBytes()) << "the file must stay as it was";
}

// Nested groups are what a text box lays out slowest: at this depth, minutes.
std::wstring NestedGroups() { return std::wstring(524000, L'(') + L"x" + std::wstring(524000, L')'); }

INSTANTIATE_TEST_SUITE_P(
    Settings, OverlongSettingTest,
    testing::Values(OverlongSetting{"NestedPatternOfOneMegabyte", L"SrcFname",
                                    [](ExecValues& exec) { exec.srcFname = NestedGroups(); }},
                    OverlongSetting{"NestedDestinationOfOneMegabyte", L"DstFolder",
                                    [](ExecValues& exec) { exec.dstFolder += L"\\" + NestedGroups(); }},
                    // Compiled, a pattern of this size froze the program for minutes.
                    OverlongSetting{
                        "PatternOfOneMegabyte", L"SrcFname",
                        [](ExecValues& exec) { exec.srcFname = LongText(1024 * 1024, L"((((((((((a))))))))))"); }}),
    [](const testing::TestParamInfo<OverlongSetting>& info) { return std::string(info.param.name); });

// A pattern of a megabyte pasted into its box: the box keeps what the pattern may hold, and
// Start refuses that at once, not after a long compile.
TEST_F(PromptTest, PatternOfOneMegabytePastedIsCutAndRefusedWithinASecond)
{
    ASSERT_TRUE(StartProgram(Values(0), L""));
    HWND form = ::FindWindowExW(m_frame, nullptr, L"#32770", nullptr);
    HWND edit = ::FindWindowExW(::GetDlgItem(form, IDC_SRC_FNAME), nullptr, L"Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    ASSERT_NO_THROW(CopyTextToClipboard(nullptr, LongText(1024 * 1024, L"((((((((((a))))))))))")));
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    DWORD_PTR result = 0;
    ASSERT_TRUE(::SendMessageTimeoutW(edit, WM_PASTE, 0, 0, SMTO_NORMAL, kRunWait, &result)) << "the paste hangs";
    ASSERT_TRUE(::SendMessageTimeoutW(edit, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, kRunWait, &result));
    EXPECT_EQ(fhw::kMaxPatternLength, result) << "the paste is cut at the bound";

    const DWORD posted = ::GetTickCount();
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_START, 0);
    const bool refused = WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait);
    const DWORD bound = ScaledTime(L"FH_E2E_TIME_SCALE", 1000);
    EXPECT_LT(::GetTickCount() - posted, bound) << "not refused within " << bound << " ms";
    ASSERT_TRUE(refused);
    EXPECT_TRUE(AnswerDialog(FindDialogs(Pid()).front(), IDOK));
    EXPECT_TRUE(::IsWindowVisible(m_frame)) << "the form stays";
}

// A settings file one byte over the size bound is refused before it is parsed, with the box of a
// file that cannot be read: Cancel ends the program and keeps the file, OK starts with the defaults.
TEST_F(PromptTest, SettingsFileJustOverTheSizeBoundGetsTheReadErrorBox)
{
    ExecValues exec = Values(0);
    exec.srcFname = L"^[0-9]{3}NIKON$";
    ASSERT_TRUE(m_settings.Write(exec));
    // Still a well-formed file of these settings: a comment after the root makes up the size.
    std::string bytes = m_settings.ReadBytes();
    bytes += "<!--" + std::string(kMaxSettingFileBytes + 1 - bytes.size() - 8, 'x') + "-->\n";
    ASSERT_TRUE(WriteFileBytes(m_settings.Path(), bytes));
    CSimpleErr tooLarge;
    tooLarge.Set(IDS_SETTING_FILE_TOO_LARGE, std::to_wstring(bytes.size()), m_settings.Path());
    const std::string expected = ToUtf8(FormatMessage1(IDS_CONFIRM_CONTINUE_AFTER_ERROR, tooLarge.m_message));

    for (const int answer : {IDCANCEL, IDOK}) {
        m_program = std::make_unique<CDebuggedProgram>();
        ASSERT_TRUE(m_program->Start(L""));
        HWND box = OnlyDialog();
        ASSERT_NE(nullptr, box);
        EXPECT_EQ(expected, ToUtf8(DialogStaticTexts(box)));
        EXPECT_TRUE(AnswerDialog(box, answer));
        if (answer == IDOK) break;
        EXPECT_EQ(1, m_program->WaitExit(kWindowWait)) << "Cancel ends the program";
        EXPECT_TRUE(bytes == m_settings.ReadBytes()) << "the file must stay as it was";
    }
    m_frame = WaitForFrame(Pid(), true, kWindowWait);
    ASSERT_NE(nullptr, m_frame) << "OK did not start the program";
    HWND form = ::FindWindowExW(m_frame, nullptr, L"#32770", nullptr);
    EXPECT_EQ(ToUtf8(ExecValues().srcFname), ToUtf8(WindowText(::GetDlgItem(form, IDC_SRC_FNAME))))
        << "OK starts with the defaults";
}
