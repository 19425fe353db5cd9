// What a run says, and how its boxes and its question ask to come forward: runs over a private
// g_setting and a card defined as a removable drive, their prompts recorded.
#include "app/AppResources.h"
#include "app/CommandExec.h"
#include "app/ExecSetting.h"
#include "app/Setting.h"

#include "AppTestSupport.h"
#include "app/tests/ManifestTrees.h"
#include "foundation/ResString.h"
#include "foundation/UniqueHandle.h"
#include "resource.h"
#include "tests/drivetool/MountManager.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/FreeDriveLetters.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

namespace {

using fhw::CExecSetting;

// What every box of a run asks for besides its own type: a run from a hidden program must not
// open behind the window the user works in.
constexpr UINT kForward = MB_SETFOREGROUND | MB_TOPMOST;
constexpr DWORD kNoOptions = 0; // move, with no question, no eject and no Explorer

class RunBoxes : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedSetting = g_setting;
        g_setting = &m_setting;
        m_setting.Exec.SrcFolder = L"\\DCIM";
        m_setting.Exec.SrcFname = L"^[0-9]{3}[A-Z_]{5}$";
        m_setting.Exec.DstFolder = m_temp / L"Pictures";
        ASSERT_TRUE(::CreateDirectoryW(m_setting.Exec.DstFolder.c_str(), nullptr));
        const std::vector<wchar_t> letters = FreeDriveLetters(1, L'L', L'H');
        ASSERT_EQ(letters.size(), 1u) << "no free drive letter";
        m_letter = letters[0];
        m_exec.m_msg = &m_sink;
    }
    void TearDown() override
    {
        m_held.Reset();
        if (m_letter) RemoveDriveDefinition(m_letter);
        g_setting = m_savedSetting;
    }

    // A card at the letter that holds `folders`, each with a file except a \DCIM left empty; the
    // path of its \DCIM.
    std::wstring Card(const std::wstring& name, const std::vector<std::wstring>& folders)
    {
        ::CreateDirectoryW((m_temp / name).c_str(), nullptr);
        for (const std::wstring& folder : folders) {
            if (folder == L"DCIM")
                ::CreateDirectoryW((m_temp / (name + L"\\DCIM")).c_str(), nullptr);
            else
                m_temp.WriteFile(name + L"\\" + folder + L"\\a.jpg", "1234");
        }
        EXPECT_EQ(DefineRemovableDrive(m_letter, ToUnixPath(m_temp / name)), DWORD{ERROR_SUCCESS});
        return m_letter + std::wstring(L":\\DCIM");
    }
    // Another program holds `folder` without sharing: nobody can list it.
    void Hold(const std::wstring& folder)
    {
        m_held.Reset(HoldFolder(folder));
        ASSERT_TRUE(m_held);
    }
    // A run over the card's letter: as the tray's 実行 runs when `manual`, else as an arrival.
    void Run(DWORD flags, bool manual)
    {
        m_setting.Exec.Flags = flags;
        m_exec.m_driveMask = 1u << (m_letter - L'A');
        m_exec.m_arm = false;
        m_exec.m_reportIfNone = manual;
        m_exec.Execute(true, false);
    }
    bool DestinationEmpty() const { return ::PathIsDirectoryEmptyW(m_setting.Exec.DstFolder.c_str()) != FALSE; }

    CTempFolder m_temp;
    CSetting m_setting;
    CSetting* m_savedSetting = nullptr;
    CAppResources m_resources;
    CRecordingMsg m_sink{IDNO};
    fhw::CCommandExec m_exec;
    wchar_t m_letter = 0;
    CUniqueKernelHandle m_held;
};

} // namespace

// A source folder that is there but cannot be listed is told, and the run does nothing else with
// that drive (no move, no eject, no question whether to disconnect it, no "nothing matched"); one
// that is missing, empty or holds no match keeps its road. Every box asks for the foreground and
// to stay on top.
TEST_F(RunBoxes, EveryBoxComesForwardAndAnUnlistableSourceFolderIsTold)
{
    std::wstring unlistable, nothingMatched, disconnect, relative;
    FormatResString(unlistable, IDS_SOURCE_FOLDER_UNREADABLE, (m_letter + std::wstring(L":\\DCIM")).c_str());
    LoadResString(nothingMatched, IDS_NOTHING_MATCHED);
    FormatResString(disconnect, IDS_DISCONNECT_DRIVE, std::wstring(1, m_letter).c_str());
    FormatResString(relative, IDS_DST_FOLDER_RELATIVE, L"Pictures");
    const DWORD eject = CExecSetting::FlagEject;
    const DWORD all = CExecSetting::FlagCopy | CExecSetting::FlagConfirm | eject | CExecSetting::FlagShowExplorer;
    const UINT error = MB_ICONERROR | kForward;
    const wchar_t* const camera = L"DCIM\\100TESTS";
    const struct {
        const char* what;
        std::vector<std::wstring> folders; // on the card
        bool held;                         // its \DCIM, by another program without sharing
        DWORD flags;
        bool manual;
        const wchar_t* destination; // null: the fixture's
        std::vector<std::wstring> texts;
        std::vector<UINT> types;
    } rows[] = {
        {"held, an arrival, eject set", {camera}, true, eject, false, nullptr, {unlistable}, {error}},
        {"held, the tray's Run, every option", {camera}, true, all, true, nullptr, {unlistable}, {error}},
        {"missing, the tray's Run", {L"MISC"}, false, kNoOptions, true, nullptr, {nothingMatched}, {error}},
        {"missing, an arrival, eject set", {L"MISC"}, false, eject, false, nullptr, {}, {}},
        {"empty, the tray's Run", {L"DCIM"}, false, kNoOptions, true, nullptr, {}, {}},
        {"no match, eject set", {L"DCIM\\MISC"}, false, eject, false, nullptr, {disconnect}, {MB_YESNO | kForward}},
        {"destination refused", {camera}, false, kNoOptions, true, L"Pictures", {relative}, {error}},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring card = L"card" + std::to_wstring(n++);
        const std::wstring source = Card(card, row.folders);
        if (row.held) Hold(source);
        const std::wstring destination = m_setting.Exec.DstFolder;
        if (row.destination) m_setting.Exec.DstFolder = row.destination;
        m_sink = CRecordingMsg(IDNO);
        Run(row.flags, row.manual);
        m_setting.Exec.DstFolder = destination;
        m_held.Reset();
        EXPECT_EQ(m_sink.m_texts, row.texts);
        EXPECT_EQ(m_sink.m_types, row.types);
        EXPECT_TRUE(DestinationEmpty());
        for (const std::wstring& folder : row.folders) {
            if (folder == L"DCIM") continue;
            const std::wstring file = m_temp / (card + L"\\" + folder + L"\\a.jpg");
            EXPECT_NE(::GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "moved";
        }
    }
}

// The question before a run comes forward as its boxes do: on top and the foreground window.
TEST_F(RunBoxes, ConfirmDialogComesForward)
{
    Card(L"card", {L"DCIM\\100TESTS"});
    CDialogAnswerer answerer(IDCANCEL);
    Run(CExecSetting::FlagConfirm, false);
    ASSERT_TRUE(answerer.Wait()) << "no confirm dialog";
    EXPECT_NE(answerer.m_exStyle & WS_EX_TOPMOST, 0u) << "the dialog is not on top";
    EXPECT_TRUE(answerer.m_foreground);
    EXPECT_TRUE(m_sink.m_texts.empty()) << "a cancelled question says nothing more";
    EXPECT_TRUE(DestinationEmpty());
}
