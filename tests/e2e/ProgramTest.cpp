// The program as a whole: hand-over to the running instance, Exit and the settings it saves,
// the start-at-login shortcut, the form opened from the tray and the tray icon after the taskbar
// restarted.
#include "E2eFixture.h"

#include "resource.h"

#include <ComPtr.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

namespace {

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// The test's shortcut goes when the test ends, however it ends (the prefix is the tests' own).
struct CRemoveWhenDone {
    std::wstring path;
    ~CRemoveWhenDone() { ::DeleteFileW(path.c_str()); }
};

// Types `text` into the edit part of a combo box of the form, as a user would.
void TypeInto(HWND combo, const std::wstring& text)
{
    HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
}

// Asked from outside: a modification that changes nothing succeeds only while the program's icon
// (id 1) is in the notification area.
bool TrayIconThere(HWND frame)
{
    NOTIFYICONDATAW data{sizeof(data), frame, 1};
    return ::Shell_NotifyIconW(NIM_MODIFY, &data) != FALSE;
}

// The shell shows a balloon as a tooltip window of its own.
bool TooltipVisible()
{
    for (HWND tip = nullptr; (tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) != nullptr;)
        if (::IsWindowVisible(tip)) return true;
    return false;
}

} // namespace

TEST_F(ProgramTest, SecondInstanceShowsTheFormDisarmsAndEndsWithZero)
{
    ASSERT_TRUE(Arm(Values(0)));
    CDebuggedProgram second;
    ASSERT_TRUE(second.Start(L""));
    EXPECT_EQ(0, second.WaitExit(20000));
    EXPECT_EQ(m_frame, WaitForFrame(Pid(), true, 10000)) << "the form did not come forward";

    // The form is open: the automatic mode is off until the next Start.
    ASSERT_EQ(1u, InsertCards({{L"100TESTS"}}).size());
    ExpectNoRun(2000);
}

TEST_F(ProgramTest, ExitEndsWithOneAndSavesTheSettings)
{
    ExecValues exec;
    exec.flags = 0x9;
    exec.srcFolder = L"\\DCIM\\Camera & <Co>";
    exec.srcFname = L"^IMG_[0-9]+$";
    exec.dstFolder = MakeDestination(L"写真 to keep");
    ASSERT_TRUE(StartProgram(exec, L"", RECT{100, 120, 700, 520}));
    RECT shown{};
    ::GetWindowRect(m_frame, &shown);
    EXPECT_EQ(100, shown.left);
    EXPECT_EQ(120, shown.top);

    EXPECT_EQ(1, ExitProgram());
    const std::string saved = m_settings.ReadBytes();
    EXPECT_NE(std::string::npos, saved.find("<FernhollowSetting")) << saved;
    const std::pair<const char*, std::wstring> expected[] = {
        {"Version", L"1.0.0.0"},
        {"Flags", L"00000009"},
        {"SrcFolder", exec.srcFolder},
        {"SrcFname", exec.srcFname},
        {"DstFolder", exec.dstFolder},
        {"FullScreen", L"false"},
        {"Maximized", L"false"},
        {"left", std::to_wstring(shown.left)},
        {"top", std::to_wstring(shown.top)},
        {"right", std::to_wstring(shown.right)},
        {"bottom", std::to_wstring(shown.bottom)},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(ToUtf8(value), CSettingsFile::ElementText(saved, name)) << name;
}

TEST_F(ProgramTest, StartupShortcutToggles)
{
    wchar_t startup[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, startup);
    const CRemoveWhenDone shortcut{std::wstring(startup) + L"\\Fernhollow.lnk"};
    ASSERT_FALSE(Exists(shortcut.path));
    ASSERT_TRUE(StartProgram(Values(0), L""));

    ::PostMessageW(m_frame, WM_COMMAND, ID_REGIST_STARTUP, 0);
    ASSERT_TRUE(WaitUntil([&] { return Exists(shortcut.path); }, 10000)) << "no shortcut after a toggle";
    ::Sleep(200);
    // Read back through the shell's own link object.
    ATL::CComPtr<IShellLinkW> link;
    ASSERT_HRESULT_SUCCEEDED(link.CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER));
    ASSERT_HRESULT_SUCCEEDED(ATL::CComQIPtr<IPersistFile>(link)->Load(shortcut.path.c_str(), STGM_READ));
    wchar_t target[MAX_PATH] = L"";
    wchar_t arguments[MAX_PATH] = L"";
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetArguments(arguments, MAX_PATH);
    EXPECT_EQ(0, _wcsicmp(target, ProgramPath().c_str())) << ToUtf8(target);
    EXPECT_EQ(std::wstring(L"/start"), arguments);

    ::PostMessageW(m_frame, WM_COMMAND, ID_REGIST_STARTUP, 0);
    EXPECT_TRUE(WaitUntil([&] { return !Exists(shortcut.path); }, 10000)) << "a second toggle left it";
}

TEST_F(ProgramTest, FormOpenedFromTheTrayWritesWhatTheUserTypes)
{
    ASSERT_TRUE(Arm(Values(0xE)));

    // Left button on the tray icon: the form opens.
    ::PostMessageW(m_frame, WM_APP + 1, 1, WM_LBUTTONDOWN);
    ASSERT_EQ(m_frame, WaitForFrame(Pid(), true, kWindowWait));
    HWND form = ::FindWindowExW(m_frame, nullptr, L"#32770", nullptr); // the form, a child dialog
    ASSERT_NE(nullptr, ::GetDlgItem(form, IDC_SRC_FNAME));

    const std::wstring destination = MakeDestination(L"after 写真");
    TypeInto(::GetDlgItem(form, IDC_SRC_FNAME), L"^[0-9]{3}NIKON$");
    TypeInto(::GetDlgItem(form, IDC_DST_FOLDER), destination);
    ::SendMessageW(::GetDlgItem(form, ID_APP_START), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_frame); }, 5000)) << "Start hides the window";

    EXPECT_EQ(1, ExitProgram());
    const std::string saved = m_settings.ReadBytes();
    EXPECT_EQ("^[0-9]{3}NIKON$", CSettingsFile::ElementText(saved, "SrcFname"));
    EXPECT_EQ(ToUtf8(destination), CSettingsFile::ElementText(saved, "DstFolder"));
}

// A restarted shell has forgotten every icon and broadcasts "TaskbarCreated": the icon comes back,
// and the balloon of a card that arrives then is shown (to a lost icon it is refused).
TEST_F(ProgramTest, TrayIconComesBackWhenTheTaskbarIsCreatedAgain)
{
    ASSERT_TRUE(Arm(Values(0)));
    ASSERT_TRUE(TrayIconThere(m_frame)) << "no tray icon after the start";
    NOTIFYICONDATAW icon{sizeof(icon), m_frame, 1};
    ASSERT_TRUE(::Shell_NotifyIconW(NIM_DELETE, &icon)) << "the icon could not be removed from outside";
    ASSERT_FALSE(TrayIconThere(m_frame));
    ASSERT_TRUE(::PostMessageW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0));
    EXPECT_TRUE(WaitUntil([&] { return TrayIconThere(m_frame); }, 5000)) << "the icon did not come back";

    ASSERT_TRUE(WaitUntil([] { return !TooltipVisible(); }, 30000)) << "an earlier balloon stays up";
    const std::wstring drives = InsertCards({{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    ExpectOneTransfer(drives[0], 1, false);
    EXPECT_TRUE(WaitUntil(TooltipVisible, 5000)) << "the shell shows no balloon";
}

// The form fills the frame's client area in every size: widened, maximized and restored.
TEST_F(ProgramTest, FormFollowsTheFrameInEverySize)
{
    ASSERT_TRUE(StartProgram(Values(0), L"", RECT{50, 50, 650, 450}));
    HWND form = ::FindWindowExW(m_frame, nullptr, L"#32770", nullptr);
    ASSERT_NE(nullptr, form);
    const auto expectFilled = [&](const char* state) {
        RECT client{}, formRect{};
        const bool filled = WaitUntil(
            [&] {
                ::GetClientRect(m_frame, &client);
                ::GetClientRect(form, &formRect);
                return formRect.right == client.right;
            },
            3000);
        EXPECT_TRUE(filled) << state << ": form " << formRect.right << " wide in a client area of " << client.right;
    };
    RECT window{};
    ::GetWindowRect(m_frame, &window);
    ::SetWindowPos(m_frame, nullptr, 0, 0, window.right - window.left + 240, window.bottom - window.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    expectFilled("widened");
    // The frame has no maximize box: it is maximized as its saved placement would.
    ::ShowWindow(m_frame, SW_MAXIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return ::IsZoomed(m_frame) != FALSE; }, 3000));
    expectFilled("maximized");
    ::ShowWindow(m_frame, SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !::IsZoomed(m_frame); }, 3000));
    expectFilled("restored");
}

// The quit command's message box runs a message loop of its own: a card that arrives meanwhile
// must not start a run inside it.
TEST_F(ProgramTest, NothingRunsWhileTheQuitMessageIsUp)
{
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    // A folder where the settings file goes makes saving fail with a message.
    const std::wstring settings = m_settings.Path();
    ASSERT_TRUE(::DeleteFileW(settings.c_str()) && ::CreateDirectoryW(settings.c_str(), nullptr));
    struct CRemoveFolder {
        std::wstring path;
        ~CRemoveFolder() { ::RemoveDirectoryW(path.c_str()); }
    } removeFolder{settings};

    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_EXIT, 0);
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kWindowWait)) << "saving did not fail";
    HWND box = FindDialogs(Pid()).front();
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ::Sleep(2000); // four quiet periods
    EXPECT_TRUE(m_program->Balloons().empty()) << "a run inside the quit message";
    ExpectNothingMoved();
    EXPECT_TRUE(AnswerDialog(box, IDOK));
    EXPECT_EQ(1, m_program->WaitExit(kWindowWait));
    m_program.reset();
    m_frame = nullptr;
}
