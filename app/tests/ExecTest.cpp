#include "app/AppResources.h"
#include "app/CommandExec.h"
#include "app/CommandInit.h"
#include "app/ConfirmDlg.h"
#include "app/ExecChecks.h"
#include "app/MainFrame.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <boost/regex.hpp>
#include <gtest/gtest.h>

#include <thread>

namespace {

UINT IdOf(const std::function<void()>& work)
{
    try {
        work();
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

} // namespace

TEST(SourceFolder, AcceptedFormsAndTheirFolders)
{
    struct Case {
        const wchar_t* source;
        const wchar_t* folder;
        bool perDrive;
    } cases[] = {
        {L"\\DCIM", L"\\DCIM", true},     {L"\\", L"\\", true},
        {L"\\\\server\\share", L"\\\\server\\share", false},
        {L"e", L"E:\\", false},           {L"E:", L"E:\\", false},
        {L"d:\\Photos", L"d:\\Photos\\", false}, {L"C:\\X\\", L"C:\\X\\", false},
        {L"C:/X/", L"C:/X/", false},
    };
    for (const Case& c : cases) {
        bool perDrive = !c.perDrive;
        EXPECT_EQ(fhw::GetSourceFolder(c.source, perDrive), c.folder) << c.source;
        EXPECT_EQ(perDrive, c.perDrive) << c.source;
    }
    bool perDrive = false;
    EXPECT_EQ(IdOf([&] { fhw::GetSourceFolder(L"", perDrive); }), static_cast<UINT>(IDS_SRC_FOLDER_EMPTY));
    for (const wchar_t* bad : {L"DCIM", L"1:\\x", L"ab", L"/DCIM"})
        EXPECT_EQ(IdOf([&] { fhw::CheckSrcFolder(bad); }), static_cast<UINT>(IDS_SRC_FOLDER_NOT_ABSOLUTE)) << bad;
}

TEST(DestinationFolder, EmptyRelativeOrAFileIsRefused)
{
    CTempFolder temp;
    const std::wstring file = temp.WriteFile(L"file", "x");
    EXPECT_EQ(IdOf([] { fhw::CheckDstFolder(L""); }), static_cast<UINT>(IDS_DST_FOLDER_EMPTY));
    EXPECT_EQ(IdOf([] { fhw::CheckDstFolder(L"Pictures"); }), static_cast<UINT>(IDS_DST_FOLDER_RELATIVE));
    EXPECT_EQ(IdOf([&] { fhw::CheckDstFolder(file); }), static_cast<UINT>(IDS_DST_FOLDER_IS_FILE));
    EXPECT_EQ(IdOf([&] { fhw::CheckDstFolder(temp.Path()); }), 0u);
    EXPECT_EQ(IdOf([&] { fhw::CheckDstFolder(temp / L"not\\yet"); }), 0u) << "a missing folder passes";
    EXPECT_THROW(fhw::CheckPattern(L"[0-9"), boost::regex_error);
    EXPECT_NO_THROW(fhw::CheckPattern(L"^[0-9]{3}[A-Z_]{5}$"));
}

TEST(CollectSources, PatternIsSearchedAndResultsAreInNaturalOrder)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"100DCIM", L"DCIM2", L"DCIM10", L"xdcim", L"other", L"101CANON"})
        ::CreateDirectoryW((temp / name).c_str(), nullptr);
    const auto found = fhw::CollectSources(temp.Path(), L"DCIM");
    const std::list<std::wstring> expected{temp / L"100DCIM", temp / L"DCIM2", temp / L"DCIM10"};
    EXPECT_EQ(found, expected) << "unanchored: found anywhere in the name, case-sensitive, natural order";
    const auto anchored = fhw::CollectSources(temp.Path(), L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(anchored, std::list<std::wstring>{temp / L"101CANON"});
}

TEST(CountArrived, CountsWhatStandsAtTheDestination)
{
    CTempFolder temp;
    temp.WriteFile(L"src\\a", "1");
    temp.WriteFile(L"dst\\a", "1");
    temp.WriteFile(L"dst\\b", "2");
    const std::list<std::wstring> sources{temp / L"src\\a", temp / L"src\\b", temp / L"src\\c"};
    EXPECT_EQ(fhw::CountArrived(sources, temp / L"dst", false), 2u);
    EXPECT_EQ(fhw::CountArrived(sources, temp / L"dst\\", true), 1u) << "a moved source must be gone";
}

TEST(CommandLine, OnlyStartIsAccepted)
{
    fhw::CCommandLineParser parser;
    parser.Parse(std::vector<std::wstring>{L"prog"});
    EXPECT_FALSE(parser.m_start);
    parser.Parse(std::vector<std::wstring>{L"prog", L"/START"});
    EXPECT_TRUE(parser.m_start);
    fhw::CCommandLineParser dash;
    dash.Parse(std::vector<std::wstring>{L"prog", L"-Start"});
    EXPECT_TRUE(dash.m_start);

    fhw::CCommandLineParser bad;
    try {
        bad.Parse(std::vector<std::wstring>{L"prog", L"/start", L"extra"});
        FAIL();
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, 58906u);
        EXPECT_NE(e.m_message.find(L"2"), std::wstring::npos);
        EXPECT_NE(e.m_message.find(L"/start\r\nextra\r\n"), std::wstring::npos);
    }
    try {
        bad.Parse(std::vector<std::wstring>{L"prog", L"-x"});
        FAIL();
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, 58907u);
        EXPECT_NE(e.m_message.find(L"-x"), std::wstring::npos);
    }
    EXPECT_FALSE(bad.m_start);
    bad.CSimpleCommandLineParser::Parse(L"\"C:\\Program Files\\fh.exe\" /start");
    EXPECT_TRUE(bad.m_start);
}

TEST(Idle, ElapsedAcrossTheTickCountWrap)
{
    fhw::CIdle idle(500);
    idle.m_last = 0xFFFFFF00;
    EXPECT_FALSE(idle.IsElapsed(0xFFFFFFFF));
    EXPECT_FALSE(idle.IsElapsed(0x000000F3));
    EXPECT_TRUE(idle.IsElapsed(0x000000F4));
}

namespace {
// Reads the confirm dialog's texts from a helper thread, then presses a button.
struct DialogReading {
    std::wstring line1, line2, sources, destination;
    bool eject = false, explorer = false;
};

void ReadAndAnswer(DialogReading& out, int button, bool untickEject)
{
    HWND dialog = nullptr;
    for (int i = 0; i < 500 && !dialog; ++i) {
        ::Sleep(10);
        dialog = ::FindWindowW(L"#32770", L"確認");
    }
    if (!dialog) return;
    // Wait until the dialog has filled its controls.
    for (int i = 0; i < 500 && !(::IsWindowVisible(dialog) && ::GetWindowTextLengthW(::GetDlgItem(dialog, IDC_CONFIRM_DESTINATION)) > 0); ++i)
        ::Sleep(10);
    auto text = [dialog](int id) {
        std::wstring buffer(65536, L'\0');
        buffer.resize(static_cast<size_t>(::GetDlgItemTextW(dialog, id, buffer.data(), 65536)));
        return buffer;
    };
    out.line1 = text(IDC_CONFIRM_LINE1);
    out.line2 = text(IDC_CONFIRM_LINE2);
    out.sources = text(IDC_CONFIRM_SOURCES);
    out.destination = text(IDC_CONFIRM_DESTINATION);
    out.eject = ::IsDlgButtonChecked(dialog, IDC_CONFIRM_EJECT) == BST_CHECKED;
    out.explorer = ::IsDlgButtonChecked(dialog, IDC_CONFIRM_EXPLORER) == BST_CHECKED;
    if (untickEject) ::SendMessageW(::GetDlgItem(dialog, IDC_CONFIRM_EJECT), BM_CLICK, 0, 0);
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
}
} // namespace

TEST(ConfirmDialog, ShowsTheRunAndKeepsItsChoicesToItself)
{
    CAppResources resources;
    fhw::CExecSetting setting;
    setting.DstFolder = L"C:\\Photos";
    fhw::CConfirmDlg dialog;
    dialog.SetSetting(setting);
    EXPECT_EQ(dialog.m_operator.m_wFunc, static_cast<UINT>(FO_MOVE));
    EXPECT_EQ(dialog.m_operator.m_fFlags, static_cast<FILEOP_FLAGS>(FOF_ALLOWUNDO));
    for (int i = 0; i < 1000; ++i) dialog.m_operator.m_from.push_back(L"E:\\DCIM\\" + std::to_wstring(i));

    DialogReading reading;
    std::thread answer([&reading] { ReadAndAnswer(reading, IDOK, true); });
    const INT_PTR result = dialog.DoModal(nullptr);
    answer.join();
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(reading.line1, resources.m_movePair.front().m_text);
    EXPECT_EQ(reading.line2, L"↓ に移動します");
    EXPECT_EQ(reading.destination, L"C:\\Photos");
    EXPECT_EQ(reading.sources.substr(0, 21), L"E:\\DCIM\\0\r\nE:\\DCIM\\1\r");
    EXPECT_NE(reading.sources.find(L"E:\\DCIM\\999\r\n"), std::wstring::npos) << "the whole list";
    EXPECT_TRUE(reading.eject);
    EXPECT_TRUE(reading.explorer);
    EXPECT_FALSE(dialog.m_setting.GetEject()) << "unticked for this run";
    EXPECT_TRUE(setting.GetEject()) << "the settings stay as they were";

    fhw::CConfirmDlg copy;
    setting.Flags = 15;
    copy.SetSetting(setting);
    std::thread cancel([&reading] { ReadAndAnswer(reading, IDCANCEL, false); });
    EXPECT_EQ(copy.DoModal(nullptr), IDCANCEL);
    cancel.join();
    EXPECT_EQ(reading.line2, L"↓ にコピーします");
}
