// The program as a whole: hand-over to the running instance, Exit and the settings it saves,
// and the start-at-login shortcut.
#include "E2eFixture.h"

#include "resource.h"

#include <objbase.h>
#include <shlobj.h>

namespace {

std::wstring StartupShortcutPath()
{
    wchar_t folder[MAX_PATH] = L"";
    ::SHGetFolderPathW(nullptr, CSIDL_STARTUP | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder);
    return std::wstring(folder) + L"\\Fernhollow.lnk";
}

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

bool WaitExists(const std::wstring& path, bool exists, DWORD ms)
{
    const DWORD start = ::GetTickCount();
    do {
        if (Exists(path) == exists) return true;
        ::Sleep(25);
    } while (::GetTickCount() - start < ms);
    return false;
}

// Target and arguments of a shortcut, read back through the shell's own link object.
bool ReadShortcut(const std::wstring& path, std::wstring& target, std::wstring& arguments)
{
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return false;
    bool ok = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        wchar_t text[MAX_PATH] = L"";
        wchar_t args[MAX_PATH] = L"";
        if (SUCCEEDED(file->Load(path.c_str(), STGM_READ)) && SUCCEEDED(link->GetPath(text, MAX_PATH, nullptr, 0)) &&
            SUCCEEDED(link->GetArguments(args, MAX_PATH))) {
            target = text;
            arguments = args;
            ok = true;
        }
        file->Release();
    }
    link->Release();
    return ok;
}

// A shortcut that was there before the test is kept aside and put back.
class CShortcutAside {
public:
    explicit CShortcutAside(std::wstring path) : m_path(std::move(path)), m_aside(m_path + L".fh-test")
    {
        m_moved = ::MoveFileExW(m_path.c_str(), m_aside.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
    }
    ~CShortcutAside()
    {
        ::DeleteFileW(m_path.c_str());
        if (m_moved) ::MoveFileExW(m_aside.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING);
    }

private:
    std::wstring m_path;
    std::wstring m_aside;
    bool m_moved = false;
};

long RunToExit(const std::wstring& arguments, DWORD ms)
{
    std::wstring commandLine = L"\"" + ParentFolderFile(L"fernhollow.exe") + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return -2;
    long code = -1;
    if (::WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0) {
        DWORD exit = 0;
        ::GetExitCodeProcess(info.hProcess, &exit);
        code = static_cast<long>(exit);
    } else {
        ::TerminateProcess(info.hProcess, 99);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return code;
}

} // namespace

TEST_F(ProgramTest, SecondInstanceShowsTheFormDisarmsAndEndsWithZero)
{
    const std::wstring destination = MakeDestination();
    ExecValues exec;
    exec.dstFolder = destination;
    ASSERT_TRUE(StartProgram(exec, L"/start"));
    EXPECT_FALSE(::IsWindowVisible(m_frame));

    EXPECT_EQ(0, RunToExit(L"", 20000));
    EXPECT_EQ(m_frame, WaitForTopLevel(Pid(), L"Fernhollow", true, 10000)) << "the form did not come forward";
    EXPECT_TRUE(m_program->Running());

    // The form is open: the automatic mode is off until the next Start.
    CCameraCard card(m_temp.Path(L"card"), {L"100TESTS"}, 21);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    CCardDrive drive(letters[0], card.Root(), Pid());
    ASSERT_TRUE(drive.Insert());
    ExpectNoBalloonWithin(2000);
    ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
    EXPECT_EQ(1, ExitProgram());
}

TEST_F(ProgramTest, ExitEndsWithOneAndSavesTheSettings)
{
    ExecValues exec;
    exec.flags = 0x9;
    exec.srcFolder = L"\\DCIM\\Camera & <Co>";
    exec.srcFname = L"^IMG_[0-9]+$";
    exec.dstFolder = MakeDestination(L"写真 to keep");
    const RECT bounds{100, 120, 700, 520};
    ASSERT_TRUE(StartProgram(exec, L"", bounds));
    RECT shown{};
    ::GetWindowRect(m_frame, &shown);
    EXPECT_EQ(100, shown.left);
    EXPECT_EQ(120, shown.top);

    EXPECT_EQ(1, ExitProgram());
    const std::string saved = m_settings.ReadBytes();
    EXPECT_EQ(L"1.0.0.0", CSettingsFile::ElementText(saved, "Version"));
    EXPECT_EQ(L"00000009", CSettingsFile::ElementText(saved, "Flags"));
    EXPECT_EQ(ToUtf8(exec.srcFolder), ToUtf8(CSettingsFile::ElementText(saved, "SrcFolder")));
    EXPECT_EQ(ToUtf8(exec.srcFname), ToUtf8(CSettingsFile::ElementText(saved, "SrcFname")));
    EXPECT_EQ(ToUtf8(exec.dstFolder), ToUtf8(CSettingsFile::ElementText(saved, "DstFolder")));
    EXPECT_EQ(L"false", CSettingsFile::ElementText(saved, "FullScreen"));
    EXPECT_EQ(L"false", CSettingsFile::ElementText(saved, "Maximized"));
    EXPECT_EQ(std::to_wstring(shown.left), CSettingsFile::ElementText(saved, "left"));
    EXPECT_EQ(std::to_wstring(shown.top), CSettingsFile::ElementText(saved, "top"));
    EXPECT_EQ(std::to_wstring(shown.right), CSettingsFile::ElementText(saved, "right"));
    EXPECT_EQ(std::to_wstring(shown.bottom), CSettingsFile::ElementText(saved, "bottom"));
    EXPECT_NE(std::string::npos, saved.find("<FernhollowSetting")) << saved;
}

TEST_F(ProgramTest, StartupShortcutToggles)
{
    const std::wstring shortcut = StartupShortcutPath();
    CShortcutAside aside(shortcut);
    ASSERT_FALSE(Exists(shortcut));
    ExecValues exec;
    exec.dstFolder = MakeDestination();
    ASSERT_TRUE(StartProgram(exec, L""));

    ::PostMessageW(m_frame, WM_COMMAND, ID_REGIST_STARTUP, 0);
    ASSERT_TRUE(WaitExists(shortcut, true, 10000)) << "no shortcut after the first toggle";
    ::Sleep(200);
    std::wstring target, arguments;
    ASSERT_TRUE(ReadShortcut(shortcut, target, arguments));
    EXPECT_EQ(0, _wcsicmp(target.c_str(), ParentFolderFile(L"fernhollow.exe").c_str())) << ToUtf8(target);
    EXPECT_EQ(L"/start", arguments);

    ::PostMessageW(m_frame, WM_COMMAND, ID_REGIST_STARTUP, 0);
    EXPECT_TRUE(WaitExists(shortcut, false, 10000)) << "the second toggle left the shortcut";
    EXPECT_TRUE(FindDialogs(Pid()).empty());
    EXPECT_EQ(1, ExitProgram());
}

namespace {
// Types `text` into the edit part of a combo box of the form, as a user would.
void TypeInto(HWND combo, const std::wstring& text)
{
    HWND edit = ::FindWindowExW(combo, nullptr, L"Edit", nullptr);
    ASSERT_NE(nullptr, edit);
    ::SendMessageW(edit, EM_SETSEL, 0, -1);
    ::SendMessageW(edit, WM_CHAR, VK_BACK, 0);
    for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
}
} // namespace

TEST_F(ProgramTest, FormOpenedFromTheTrayWritesWhatTheUserTypes)
{
    ExecValues exec;
    exec.flags = 0xE;
    exec.srcFolder = L"\\DCIM";
    exec.srcFname = L"^[0-9]{3}[A-Z_]{5}$";
    exec.dstFolder = MakeDestination(L"before");
    ASSERT_TRUE(StartProgram(exec, L"/start"));
    ASSERT_FALSE(::IsWindowVisible(m_frame));

    // Left button on the tray icon: the form opens.
    ::PostMessageW(m_frame, WM_APP + 1, 1, WM_LBUTTONDOWN);
    ASSERT_EQ(m_frame, WaitForTopLevel(Pid(), L"Fernhollow", true, kWindowWait));
    HWND form = ::GetWindow(m_frame, GW_CHILD);
    while (form && ::GetDlgItem(form, 144) == nullptr) form = ::GetWindow(form, GW_HWNDNEXT);
    ASSERT_NE(nullptr, form);

    const std::wstring destination = MakeDestination(L"after 写真");
    TypeInto(::GetDlgItem(form, 144), L"^[0-9]{3}NIKON$");
    TypeInto(::GetDlgItem(form, 145), destination);
    ::SendMessageW(::GetDlgItem(form, 1), BM_CLICK, 0, 0); // Start
    for (int i = 0; i < 250 && ::IsWindowVisible(m_frame); ++i) ::Sleep(20);
    EXPECT_FALSE(::IsWindowVisible(m_frame)) << "Start hides the window";

    EXPECT_EQ(1, ExitProgram());
    const std::string saved = m_settings.ReadBytes();
    EXPECT_EQ(L"^[0-9]{3}NIKON$", CSettingsFile::ElementText(saved, "SrcFname"));
    EXPECT_EQ(ToUtf8(destination), ToUtf8(CSettingsFile::ElementText(saved, "DstFolder")));
}
