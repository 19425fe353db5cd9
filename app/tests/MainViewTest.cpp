#include "app/CommandExplorer.h"
#include "app/CommandTable.h"
#include "app/MainView.h"
#include "app/Setting.h"
#include "foundation/ResString.h"
#include "tests/support/DialogAnswerer.h"
#include "tests/support/TempFolder.h"
#include "ui/ComboBoxParts.h"
#include "ui/Msg.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <vector>

namespace {

class CRecordingMsg : public CMsg {
public:
    int Show(const std::wstring& text, UINT type) override
    {
        m_texts.push_back(text);
        m_types.push_back(type);
        m_focusAtShow.push_back(::GetFocus());
        return m_answer;
    }
    std::vector<std::wstring> m_texts;
    std::vector<UINT> m_types;
    std::vector<HWND> m_focusAtShow;
    int m_answer = IDCANCEL;
};

// Stands for the main frame: records the commands the form forwards.
class CRecordingFrame : public ATL::CWindowImpl<CRecordingFrame> {
public:
    BEGIN_MSG_MAP(CRecordingFrame)
        MESSAGE_HANDLER(WM_COMMAND, OnCommand)
    END_MSG_MAP()

    LRESULT OnCommand(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
    {
        m_commands.push_back(wParam);
        m_controls.push_back(reinterpret_cast<HWND>(lParam));
        return 0;
    }
    std::vector<WPARAM> m_commands;
    std::vector<HWND> m_controls;
};

std::vector<std::wstring> Texts(const CMruStrings& history)
{
    std::vector<std::wstring> texts;
    for (const auto& item : history.m_items) texts.push_back(item->m_text);
    return texts;
}

class MainView : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedSetting = g_setting;
        g_setting = &m_setting;
        m_setting.Exec.SrcFolder = L"\\DCIM";
        m_setting.Exec.SrcFname = L"^[0-9]{3}[A-Z_]{5}$";
        m_setting.Exec.DstFolder = m_temp.Path();
        m_setting.Exec.Flags = fhw::CExecSetting::kDefaultFlags;
        m_setting.SrcFolderHistory.m_items.clear();
        m_setting.SrcFnameHistory.m_items.clear();
        m_setting.DstFolderHistory.m_items.clear();
        ASSERT_TRUE(m_frame.Create(nullptr, RECT{40, 40, 640, 500}, L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE));
        ::SetForegroundWindow(m_frame);
        ASSERT_TRUE(m_view.Create(m_frame));
        m_view.m_msg = &m_sink;
    }
    void TearDown() override
    {
        if (m_view.m_hWnd) m_view.DestroyWindow();
        if (m_frame.m_hWnd) m_frame.DestroyWindow();
        g_setting = m_savedSetting;
    }

    HWND Item(int id) const { return m_view.GetDlgItem(id); }
    HWND EditOf(int id) const
    {
        HWND list = nullptr, edit = nullptr;
        GetComboBoxParts(Item(id), list, edit);
        return edit;
    }
    void Type(int id, const std::wstring& text) const
    {
        HWND edit = EditOf(id);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, WM_CHAR, VK_BACK, 1);
        for (wchar_t c : text) ::SendMessageW(edit, WM_CHAR, c, 1);
    }
    std::wstring Text(int id) const
    {
        std::wstring text;
        CWindowW(Item(id)).GetWindowText(text);
        return text;
    }
    bool FocusWithin(HWND focus, int id) const { return focus == Item(id) || ::IsChild(Item(id), focus); }
    static void PumpMessages()
    {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }

    CTempFolder m_temp;
    CSetting* m_savedSetting = nullptr;
    CSetting m_setting;
    CRecordingFrame m_frame;
    fhw::CMainView m_view;
    CRecordingMsg m_sink;
};

} // namespace

TEST_F(MainView, ShowsTheSettingsAndTheTemplateSize)
{
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"\\DCIM");
    EXPECT_EQ(Text(IDC_SRC_FNAME), L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(Text(IDC_DST_FOLDER), m_temp.Path());
    EXPECT_EQ(::SendMessageW(Item(IDC_COPY), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(::SendMessageW(Item(IDC_CONFIRM), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Item(IDC_EJECT), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(::SendMessageW(Item(IDC_SHOW_EXPLORER), BM_GETCHECK, 0, 0), BST_CHECKED);

    RECT units{0, 0, 249, 162};
    ::MapDialogRect(m_view, &units);
    EXPECT_EQ(m_view.GetInitialSize().cx, units.right);
    EXPECT_EQ(m_view.GetInitialSize().cy, units.bottom);

    // Values changed behind the form's back show after a reload.
    m_setting.Exec.SrcFolder = L"E:\\Photos";
    m_setting.Exec.SetCopy(true);
    m_view.LoadFromSetting();
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"E:\\Photos");
    EXPECT_EQ(::SendMessageW(Item(IDC_COPY), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(MainView, TypingAndClickingWriteTheSettingsAtOnce)
{
    Type(IDC_SRC_FOLDER, L"F:\\Card");
    EXPECT_EQ(m_setting.Exec.SrcFolder, L"F:\\Card");
    Type(IDC_SRC_FNAME, L"IMG_\\d+");
    EXPECT_EQ(m_setting.Exec.SrcFname, L"IMG_\\d+");
    Type(IDC_DST_FOLDER, L"C:\\Pictures ");
    EXPECT_EQ(m_setting.Exec.DstFolder, L"C:\\Pictures");

    ::SendMessageW(Item(IDC_COPY), BM_CLICK, 0, 0);
    EXPECT_TRUE(m_setting.Exec.GetCopy());
    ::SendMessageW(Item(IDC_CONFIRM), BM_CLICK, 0, 0);
    EXPECT_FALSE(m_setting.Exec.GetConfirm());
    ::SendMessageW(Item(IDC_EJECT), BM_CLICK, 0, 0);
    EXPECT_FALSE(m_setting.Exec.GetEject());
    ::SendMessageW(Item(IDC_SHOW_EXPLORER), BM_CLICK, 0, 0);
    EXPECT_EQ(m_setting.Exec.Flags, static_cast<DWORD>(fhw::CExecSetting::FlagCopy));
    EXPECT_TRUE(m_setting.SrcFolderHistory.m_items.empty()) << "histories change only on apply";
}

TEST_F(MainView, ApplyStopsAtTheFirstFaultWithItsBoxFocused)
{
    struct Case {
        std::wstring src, pattern, dst;
        UINT message;
        int box;
    };
    const std::wstring file = m_temp.WriteFile(L"file.txt", "x");
    const Case cases[] = {
        {L"", L"a(", L"", IDS_SRC_FOLDER_EMPTY, IDC_SRC_FOLDER},
        {L"DCIM", L"x", m_temp.Path(), IDS_SRC_FOLDER_NOT_ABSOLUTE, IDC_SRC_FOLDER},
        {L"\\DCIM", L"a(", L"", 0, IDC_SRC_FNAME},
        {L"\\DCIM", L"x", L"", IDS_DST_FOLDER_EMPTY, IDC_DST_FOLDER},
        {L"\\DCIM", L"x", L"Pictures", IDS_DST_FOLDER_RELATIVE, IDC_DST_FOLDER},
        {L"\\DCIM", L"x", file, IDS_DST_FOLDER_IS_FILE, IDC_DST_FOLDER},
    };
    for (const Case& c : cases) {
        Type(IDC_SRC_FOLDER, c.src);
        Type(IDC_SRC_FNAME, c.pattern);
        Type(IDC_DST_FOLDER, c.dst);
        ::SetFocus(Item(ID_APP_RUN));
        m_sink.m_texts.clear();
        m_sink.m_focusAtShow.clear();
        EXPECT_FALSE(m_view.Apply()) << c.box;
        ASSERT_EQ(m_sink.m_texts.size(), 1u);
        EXPECT_TRUE(FocusWithin(m_sink.m_focusAtShow[0], c.box)) << "box " << c.box;
        EXPECT_TRUE(FocusWithin(::GetFocus(), c.box));
        if (c.message) {
            std::wstring expected;
            if (c.message == IDS_SRC_FOLDER_EMPTY || c.message == IDS_DST_FOLDER_EMPTY)
                LoadResString(expected, c.message);
            else
                FormatResString(expected, c.message, (c.message == IDS_SRC_FOLDER_NOT_ABSOLUTE ? c.src : c.dst).c_str());
            EXPECT_EQ(m_sink.m_texts[0], expected);
        }
        EXPECT_TRUE(m_setting.SrcFolderHistory.m_items.empty());
        EXPECT_TRUE(m_setting.SrcFnameHistory.m_items.empty());
        EXPECT_TRUE(m_setting.DstFolderHistory.m_items.empty());
    }
}

TEST_F(MainView, ApplyRecordsTheValuesAndRefillsTheLists)
{
    m_setting.SrcFolderHistory.Add(L"E:\\DCIM");
    m_setting.SrcFolderHistory.Add(L"\\DCIM");
    m_view.LoadFromSetting();
    Type(IDC_SRC_FOLDER, L"E:\\DCIM");
    Type(IDC_DST_FOLDER, m_temp.Path(L"new folder"));
    EXPECT_TRUE(m_view.Apply());
    EXPECT_TRUE(m_sink.m_texts.empty());
    EXPECT_EQ(Texts(m_setting.SrcFolderHistory), (std::vector<std::wstring>{L"E:\\DCIM", L"\\DCIM"}));
    EXPECT_EQ(Texts(m_setting.SrcFnameHistory), std::vector<std::wstring>{L"^[0-9]{3}[A-Z_]{5}$"});
    EXPECT_EQ(Texts(m_setting.DstFolderHistory), std::vector<std::wstring>{m_temp.Path(L"new folder")});

    CComboBoxW src(Item(IDC_SRC_FOLDER));
    ASSERT_EQ(src.GetCount(), 2);
    std::wstring item;
    src.GetLBText(0, item);
    EXPECT_EQ(item, L"E:\\DCIM");
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"E:\\DCIM");
    EXPECT_EQ(Text(IDC_DST_FOLDER), m_temp.Path(L"new folder"));
    EXPECT_EQ(CComboBoxW(Item(IDC_DST_FOLDER)).GetCount(), 1);
}

TEST_F(MainView, StartRunAndExitGoToTheFrameUnchanged)
{
    const fhw::CExecSetting before = m_setting.Exec;
    for (int id : {ID_APP_START, ID_APP_RUN, ID_APP_EXIT}) ::SendMessageW(Item(id), BM_CLICK, 0, 0);
    EXPECT_TRUE(m_frame.m_commands.empty()) << "posted, not sent";
    PumpMessages();
    ASSERT_EQ(m_frame.m_commands.size(), 3u);
    EXPECT_EQ(m_frame.m_commands[0], MAKEWPARAM(ID_APP_START, BN_CLICKED));
    EXPECT_EQ(m_frame.m_commands[1], MAKEWPARAM(ID_APP_RUN, BN_CLICKED));
    EXPECT_EQ(m_frame.m_commands[2], MAKEWPARAM(ID_APP_EXIT, BN_CLICKED));
    EXPECT_EQ(m_frame.m_controls[1], Item(ID_APP_RUN));
    EXPECT_TRUE(m_setting.Exec == before);
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(MainView, FocusReturnsToTheChildOfTheLastCommand)
{
    HWND pattern = EditOf(IDC_SRC_FNAME);
    ::SetFocus(pattern);
    ::SendMessageW(m_view, WM_COMMAND, MAKEWPARAM(ID_APP_RUN, BN_CLICKED), reinterpret_cast<LPARAM>(Item(ID_APP_RUN)));
    ::SetFocus(m_frame);
    ::SetFocus(m_view);
    EXPECT_EQ(::GetFocus(), pattern);
}

TEST_F(MainView, EnterInTheDialogReachesTheFrameAsStart)
{
    ::SetFocus(EditOf(IDC_SRC_FOLDER));
    MSG msg{EditOf(IDC_SRC_FOLDER), WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    EXPECT_TRUE(m_view.PreTranslateMessage(&msg));
    PumpMessages();
    ASSERT_FALSE(m_frame.m_commands.empty());
    EXPECT_EQ(LOWORD(m_frame.m_commands.back()), ID_APP_START);
    MSG other{m_frame, WM_KEYDOWN, VK_RETURN, 0x001C0001, 0, {0, 0}};
    EXPECT_FALSE(m_view.PreTranslateMessage(&other)) << "not the form's";
}

TEST_F(MainView, ExplorerButtonAsksBeforeOpeningTheNearestFolder)
{
    CCommandTable table;
    CRecordingMsg commandSink;
    table.Get(CCommandTable::Explorer)->m_msg = &commandSink;
    auto* explorer = dynamic_cast<CCommandExplorer*>(table.Get(CCommandTable::Explorer).get());
    ASSERT_TRUE(explorer);
    explorer->m_path = L"stale";
    Type(IDC_DST_FOLDER, m_temp.Path(L"missing\\deeper"));
    ::SendMessageW(Item(IDC_DST_EXPLORER), BM_CLICK, 0, 0);
    EXPECT_EQ(explorer->m_path, m_temp.Path(L"missing\\deeper"));
    EXPECT_TRUE(explorer->m_idList.IsNull());
    ASSERT_EQ(commandSink.m_texts.size(), 1u) << "the question, answered Cancel: nothing opens";
    EXPECT_EQ(commandSink.m_texts[0], LoadResString(58711));
    EXPECT_EQ(commandSink.m_types[0], static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
}

TEST_F(MainView, WiderFormStretchesTheBoxesAndMovesTheRightButtons)
{
    const auto rectOf = [this](int id) {
        RECT r{};
        ::GetWindowRect(Item(id), &r);
        ::MapWindowPoints(nullptr, m_view, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT box = rectOf(IDC_SRC_FOLDER), browse = rectOf(IDC_DST_BROWSE), exit = rectOf(ID_APP_EXIT),
               label = rectOf(IDC_COPY);
    const SIZE size = m_view.GetInitialSize();
    m_view.MoveWindow(0, 0, size.cx + 100, size.cy + 40);
    EXPECT_EQ(rectOf(IDC_SRC_FOLDER).right, box.right + 100);
    EXPECT_EQ(rectOf(IDC_SRC_FOLDER).left, box.left);
    EXPECT_EQ(rectOf(IDC_DST_BROWSE).left, browse.left + 100);
    EXPECT_EQ(rectOf(ID_APP_EXIT).left, exit.left + 100);
    EXPECT_EQ(rectOf(ID_APP_EXIT).top, exit.top) << "buttons stay at their height";
    const RECT after = rectOf(IDC_COPY);
    EXPECT_TRUE(::EqualRect(&label, &after)) << "check boxes stay";
}

TEST_F(MainView, BrowseStoresTheChosenFolderAndCancelKeepsTheText)
{
    {
        CDialogAnswerer cancel(IDCANCEL);
        ::SendMessageW(Item(IDC_DST_BROWSE), BM_CLICK, 0, 0);
        ASSERT_TRUE(cancel.Wait());
        EXPECT_EQ(cancel.m_owner, m_frame.m_hWnd);
    }
    EXPECT_EQ(m_setting.Exec.DstFolder, m_temp.Path());

    // The browser starts on the current value (else on the desktop); OK takes it. Wine's browser
    // does not find folders inside the test's temporary folder, so a system folder stands in.
    wchar_t windows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(windows, MAX_PATH);
    const std::wstring start = windows;
    m_setting.Exec.SrcFolder = start;
    m_view.LoadFromSetting();
    {
        CDialogAnswerer ok(IDOK);
        ::SendMessageW(Item(IDC_SRC_BROWSE), BM_CLICK, 0, 0);
        ASSERT_TRUE(ok.Wait());
    }
    EXPECT_EQ(::lstrcmpiW(m_setting.Exec.SrcFolder.c_str(), start.c_str()), 0) << m_setting.Exec.SrcFolder;
    EXPECT_EQ(Text(IDC_SRC_FOLDER), m_setting.Exec.SrcFolder);

    // A relative text gives the browser no start: OK takes the desktop, a real folder.
    m_setting.Exec.DstFolder = L"Pictures";
    m_view.LoadFromSetting();
    {
        CDialogAnswerer ok(IDOK);
        ::SendMessageW(Item(IDC_DST_BROWSE), BM_CLICK, 0, 0);
        ASSERT_TRUE(ok.Wait());
    }
    EXPECT_NE(m_setting.Exec.DstFolder, L"Pictures");
    EXPECT_TRUE(::PathIsDirectoryW(m_setting.Exec.DstFolder.c_str())) << m_setting.Exec.DstFolder;
    EXPECT_EQ(Text(IDC_DST_FOLDER), m_setting.Exec.DstFolder);
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST(MainViewResources, ExplorerButtonPictureIsAPng)
{
    HRSRC resource = ::FindResourceW(nullptr, MAKEINTRESOURCEW(IDR_EXPLORER_IMAGE), L"IMAGE");
    ASSERT_TRUE(resource);
    HGLOBAL data = ::LoadResource(nullptr, resource);
    ASSERT_TRUE(data);
    const auto* bytes = static_cast<const unsigned char*>(::LockResource(data));
    ASSERT_GE(::SizeofResource(nullptr, resource), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 1, 3), "PNG");
}
