// The settings form over a private g_setting, driven through its real controls.
#include "app/MainView.h"
#include "app/Setting.h"

#include "AppTestSupport.h"
#include "app/ExecChecks.h"
#include "shell/Clipboard.h"
#include "tests/support/TempFolder.h"
#include "ui/ComboBoxParts.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class MainView : public testing::Test {
protected:
    void SetUp() override
    {
        m_savedSetting = g_setting;
        g_setting = &m_setting;
        m_setting.Exec.DstFolder = m_temp.Path();
        for (CMruStrings* history :
             {&m_setting.SrcFolderHistory, &m_setting.SrcFnameHistory, &m_setting.DstFolderHistory})
            history->m_items.clear();
        // Stands for the main frame; the commands the form forwards wait in its queue.
        m_frame = ::CreateWindowExW(0, L"Static", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 600, 460, nullptr,
                                    nullptr, nullptr, nullptr);
        ASSERT_TRUE(m_frame);
        ::SetForegroundWindow(m_frame);
    }
    void TearDown() override
    {
        m_view.DestroyWindow();
        ::DestroyWindow(m_frame);
        g_setting = m_savedSetting;
    }

    // Opens the form; the source folder's history first gets `oldestFirst`.
    void Open(const std::vector<std::wstring>& oldestFirst = {})
    {
        for (const std::wstring& text : oldestFirst) m_setting.SrcFolderHistory.Add(text);
        ASSERT_TRUE(m_view.Create(m_frame));
        m_view.m_msg = &m_sink;
    }
    HWND Item(int id) const { return m_view.GetDlgItem(id); }
    HWND PartOf(int id, bool list) const
    {
        HWND listPart = nullptr, editPart = nullptr;
        GetComboBoxParts(Item(id), listPart, editPart);
        return list ? listPart : editPart;
    }
    // Types as the keyboard would, character by character, over the whole text.
    void Type(int id, const std::wstring& text) const
    {
        HWND edit = PartOf(id, false);
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
    std::vector<std::wstring> Items(int id) const
    {
        CComboBoxW box(Item(id));
        std::vector<std::wstring> items(static_cast<size_t>(box.GetCount()));
        for (size_t i = 0; i < items.size(); ++i) box.GetLBText(static_cast<int>(i), items[i]);
        return items;
    }
    int Selected(int id) const { return CComboBoxW(Item(id)).GetCurSel(); }
    bool Checked(int id) const { return ::SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool FocusWithin(HWND focus, int id) const { return focus == Item(id) || ::IsChild(Item(id), focus); }

    CTempFolder m_temp;
    CSetting* m_savedSetting = nullptr;
    CSetting m_setting;
    HWND m_frame = nullptr;
    fhw::CMainView m_view;
    CRecordingMsg m_sink;
};

} // namespace

TEST_F(MainView, ShowsTheSettingsAndWritesWhatIsTypedAndClickedAtOnce)
{
    Open();
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"\\DCIM");
    EXPECT_EQ(Text(IDC_SRC_FNAME), L"^[0-9]{3}[A-Z_]{5}$");
    EXPECT_EQ(Text(IDC_DST_FOLDER), m_temp.Path());
    EXPECT_FALSE(Checked(IDC_COPY));
    EXPECT_TRUE(Checked(IDC_CONFIRM) && Checked(IDC_EJECT) && Checked(IDC_SHOW_EXPLORER));

    Type(IDC_SRC_FOLDER, L"F:\\Card");
    EXPECT_EQ(m_setting.Exec.SrcFolder, L"F:\\Card");
    Type(IDC_SRC_FNAME, L"IMG_\\d+");
    EXPECT_EQ(m_setting.Exec.SrcFname, L"IMG_\\d+");
    // Far wider than the box: the edit scrolls rather than refusing characters.
    const std::wstring wide = L"C:\\" + std::wstring(200, L'p');
    Type(IDC_DST_FOLDER, wide + L" ");
    EXPECT_EQ(m_setting.Exec.DstFolder, wide) << "trimmed in the setting";
    EXPECT_EQ(Text(IDC_DST_FOLDER), wide + L" ") << "kept in the box";
    for (int id : {IDC_COPY, IDC_CONFIRM, IDC_EJECT, IDC_SHOW_EXPLORER}) ::SendMessageW(Item(id), BM_CLICK, 0, 0);
    EXPECT_EQ(m_setting.Exec.Flags, static_cast<DWORD>(fhw::CExecSetting::FlagCopy));
    EXPECT_TRUE(m_setting.SrcFolderHistory.m_items.empty()) << "histories change only on apply";

    // Values changed behind the form's back show after a reload, also when the history gained an
    // entry the list does not hold yet.
    m_setting.SrcFolderHistory.Add(L"E:\\Photos");
    m_setting.Exec.SrcFolder = L"E:\\Photos";
    m_setting.Exec.SetCopy(false);
    m_view.LoadFromSetting();
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"E:\\Photos");
    EXPECT_FALSE(Checked(IDC_COPY));
}

TEST_F(MainView, HistoryIsOfferedAndTypingWheelingAndPickingWriteTheSetting)
{
    m_setting.Exec.SrcFolder = L"ABCD";
    Open({L"abc", L"ABCD", L"abcde"});
    EXPECT_EQ(Items(IDC_SRC_FOLDER), (std::vector<std::wstring>{L"abcde", L"ABCD", L"abc"}));
    EXPECT_EQ(Selected(IDC_SRC_FOLDER), 1);

    // "abcd" is the prefix of "abcde" and differs from "ABCD" only in case.
    Type(IDC_SRC_FOLDER, L"abcd");
    EXPECT_EQ(m_setting.Exec.SrcFolder, L"abcd");
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"abcd");
    EXPECT_EQ(Selected(IDC_SRC_FOLDER), CB_ERR);
    // The list part is subclassed: its own searches are exact, case-sensitive and wrap.
    const auto find = [list = PartOf(IDC_SRC_FOLDER, true)](UINT message, int start, const wchar_t* text) {
        return ::SendMessageW(list, message, static_cast<WPARAM>(start), reinterpret_cast<LPARAM>(text));
    };
    EXPECT_EQ(find(LB_FINDSTRING, -1, L"abcd"), LB_ERR);
    EXPECT_EQ(find(LB_FINDSTRING, -1, L"ABCD"), 1);
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, 2, L"abcde"), 0);
    EXPECT_EQ(find(LB_FINDSTRINGEXACT, 99, L"abc"), 2);

    const auto wheel = [this](short delta) {
        ::SendMessageW(Item(IDC_SRC_FOLDER), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(delta)), 0);
        return m_setting.Exec.SrcFolder;
    };
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"abcde") << "a text outside the history goes to the newest entry";
    EXPECT_EQ(Text(IDC_SRC_FOLDER), L"abcde");
    EXPECT_EQ(wheel(WHEEL_DELTA), L"abcde") << "away from the user on the newest entry does nothing";
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"ABCD");
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"abc");
    EXPECT_EQ(wheel(-WHEEL_DELTA), L"abc") << "no entry beyond the oldest";
    EXPECT_EQ(wheel(WHEEL_DELTA), L"ABCD");

    // An entry picked from the list is taken once the combo box has finished with it.
    CComboBoxW box(Item(IDC_SRC_FOLDER));
    box.SetCurSel(0);
    ::SendMessageW(m_view, WM_COMMAND, MAKEWPARAM(IDC_SRC_FOLDER, CBN_SELENDOK), reinterpret_cast<LPARAM>(box.m_hWnd));
    EXPECT_EQ(m_setting.Exec.SrcFolder, L"ABCD") << "taken only when the posted message arrives";
    PumpMessages();
    EXPECT_EQ(m_setting.Exec.SrcFolder, L"abcde");
    // Cancelling the drop-down stores what the edit then shows.
    box.SetCurSel(-1);
    ::SetWindowTextW(box.m_hWnd, L"typed");
    ::SendMessageW(m_view, WM_COMMAND, MAKEWPARAM(IDC_SRC_FOLDER, CBN_SELENDCANCEL),
                   reinterpret_cast<LPARAM>(box.m_hWnd));
    PumpMessages();
    EXPECT_EQ(m_setting.Exec.SrcFolder, L"typed");
}

// The history gains an entry while the list still shows the old ones: picking an item takes the
// item that was picked, not the history entry now at its index.
TEST_F(MainView, APickedItemIsTakenAsShownWhenTheHistoryChangedSinceTheListWasFilled)
{
    Open({L"C:\\old", L"D:\\older"});
    ASSERT_EQ(Items(IDC_SRC_FOLDER), (std::vector<std::wstring>{L"D:\\older", L"C:\\old"}));
    m_setting.SrcFolderHistory.Add(L"E:\\newest");
    ASSERT_EQ(m_setting.SrcFolderHistory.m_items.front()->m_text, L"E:\\newest");
    CComboBoxW box(Item(IDC_SRC_FOLDER));
    for (int index : {0, 1}) {
        box.SetCurSel(index);
        ::SendMessageW(m_view, WM_COMMAND, MAKEWPARAM(IDC_SRC_FOLDER, CBN_SELENDOK),
                       reinterpret_cast<LPARAM>(box.m_hWnd));
        PumpMessages();
        EXPECT_EQ(m_setting.Exec.SrcFolder, Items(IDC_SRC_FOLDER)[static_cast<size_t>(index)]) << index;
    }
}

TEST_F(MainView, ApplyStopsAtTheFirstFaultWithItsBoxFocusedElseRecordsTheHistories)
{
    Open();
    struct Case {
        std::wstring src, pattern, dst;
        UINT message; // 0: a pattern error
        int box;
    };
    const std::wstring file = m_temp.WriteFile(L"file.txt", "x");
    const Case cases[] = {
        {L"", L"a(", L"", IDS_SRC_FOLDER_EMPTY, IDC_SRC_FOLDER},
        {L"\\DCIM", L"a(", L"", 0, IDC_SRC_FNAME},
        // Longer than the box takes: set in the setting behind the form's back.
        {L"\\DCIM", std::wstring(5000, L'x'), m_temp.Path(), IDS_PATTERN_TOO_LONG, IDC_SRC_FNAME},
        {L"\\DCIM", L"x", L"", IDS_DST_FOLDER_EMPTY, IDC_DST_FOLDER},
        {L"\\DCIM", L"x", L"Pictures", IDS_DST_FOLDER_RELATIVE, IDC_DST_FOLDER},
        {L"\\DCIM", L"x", file, IDS_DST_FOLDER_IS_FILE, IDC_DST_FOLDER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        Type(IDC_SRC_FOLDER, c.src);
        Type(IDC_SRC_FNAME, c.pattern);
        Type(IDC_DST_FOLDER, c.dst);
        if (c.pattern.size() > fhw::kMaxPatternLength) m_setting.Exec.SrcFname = c.pattern;
        ::SetFocus(Item(ID_APP_RUN));
        m_sink = CRecordingMsg();
        EXPECT_FALSE(m_view.Apply());
        ASSERT_EQ(m_sink.m_errors.size(), 1u);
        if (c.message) {
            EXPECT_EQ(m_sink.m_errors[0], c.message);
        }
        EXPECT_TRUE(FocusWithin(m_sink.m_focusAtShow[0], c.box)) << "focused before the message";
        EXPECT_TRUE(FocusWithin(::GetFocus(), c.box));
        // As when the error box closes: the form gets the focus back and hands it to the faulty box.
        ::SetFocus(m_frame);
        ::SetFocus(m_view);
        EXPECT_TRUE(FocusWithin(::GetFocus(), c.box)) << "after the error";
        if (c.message == IDS_DST_FOLDER_IS_FILE) {
            EXPECT_NE(m_sink.m_texts[0].find(file), std::wstring::npos) << "the message names the file";
        }
        EXPECT_TRUE(m_setting.SrcFolderHistory.m_items.empty() && m_setting.SrcFnameHistory.m_items.empty() &&
                    m_setting.DstFolderHistory.m_items.empty());
    }

    // A destination still to be made passes: the run makes it.
    const std::wstring destination = m_temp.Path(L"new folder");
    Type(IDC_SRC_FOLDER, L"E:\\DCIM");
    Type(IDC_DST_FOLDER, destination);
    m_sink = CRecordingMsg();
    EXPECT_TRUE(m_view.Apply());
    EXPECT_TRUE(m_sink.m_texts.empty());
    EXPECT_EQ(Texts(m_setting.SrcFolderHistory), std::vector<std::wstring>{L"E:\\DCIM"});
    EXPECT_EQ(Texts(m_setting.SrcFnameHistory), std::vector<std::wstring>{L"x"});
    EXPECT_EQ(Items(IDC_DST_FOLDER), std::vector<std::wstring>{destination});
    EXPECT_EQ(Text(IDC_DST_FOLDER), destination);
}

// Neither a paste nor typing puts more into a box than its setting may hold.
TEST_F(MainView, BoxesTakeNoMoreThanTheirSettingsHold)
{
    Open();
    const fhw::CExecSetting& exec = m_setting.Exec;
    const struct {
        int id;
        size_t bound;
        const std::wstring& value;
    } boxes[] = {{IDC_SRC_FOLDER, fhw::kMaxPathLength, exec.SrcFolder},
                 {IDC_SRC_FNAME, fhw::kMaxPatternLength, exec.SrcFname},
                 {IDC_DST_FOLDER, fhw::kMaxPathLength, exec.DstFolder}};
    for (const auto& box : boxes) {
        SCOPED_TRACE(box.id);
        const std::wstring pasted = L"C:\\" + std::wstring(box.bound, L'p');
        CopyTextToClipboard(m_frame, pasted);
        HWND edit = PartOf(box.id, false);
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, WM_PASTE, 0, 0);
        EXPECT_EQ(Text(box.id).size(), box.bound) << "the paste is cut at the bound";
        EXPECT_TRUE(box.value == pasted.substr(0, box.bound)) << box.value.size();
        const WPARAM end = static_cast<WPARAM>(box.bound);
        ::SendMessageW(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
        ::SendMessageW(edit, WM_CHAR, L'q', 1);
        EXPECT_EQ(Text(box.id).size(), box.bound) << "a character typed at the bound is refused";
        EXPECT_EQ(box.value.size(), box.bound);
    }
}

TEST_F(MainView, StartRunAndExitArePostedToTheFrameUnchanged)
{
    Open();
    const fhw::CExecSetting before = m_setting.Exec;
    for (int id : {ID_APP_START, ID_APP_RUN, ID_APP_EXIT}) ::SendMessageW(Item(id), BM_CLICK, 0, 0);
    std::vector<WPARAM> posted;
    MSG msg;
    while (::PeekMessageW(&msg, m_frame, WM_COMMAND, WM_COMMAND, PM_REMOVE)) posted.push_back(msg.wParam);
    EXPECT_EQ(posted, (std::vector<WPARAM>{MAKEWPARAM(ID_APP_START, BN_CLICKED), MAKEWPARAM(ID_APP_RUN, BN_CLICKED),
                                           MAKEWPARAM(ID_APP_EXIT, BN_CLICKED)}));
    EXPECT_TRUE(m_setting.Exec == before);
    EXPECT_TRUE(m_sink.m_texts.empty());
}

TEST_F(MainView, WiderFormStretchesTheBoxesAndMovesTheRightButtons)
{
    Open();
    const auto rectOf = [this](int id) {
        RECT r{};
        ::GetWindowRect(Item(id), &r);
        ::MapWindowPoints(nullptr, m_view, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT box = rectOf(IDC_SRC_FOLDER), browse = rectOf(IDC_DST_BROWSE), exit = rectOf(ID_APP_EXIT);
    const RECT check = rectOf(IDC_COPY);
    const SIZE size = m_view.GetInitialSize();
    m_view.MoveWindow(0, 0, size.cx + 100, size.cy + 40);
    EXPECT_EQ(rectOf(IDC_SRC_FOLDER).left, box.left);
    EXPECT_EQ(rectOf(IDC_SRC_FOLDER).right, box.right + 100);
    EXPECT_EQ(rectOf(IDC_DST_BROWSE).left, browse.left + 100);
    EXPECT_EQ(rectOf(ID_APP_EXIT).left, exit.left + 100);
    EXPECT_EQ(rectOf(ID_APP_EXIT).top, exit.top) << "buttons stay at their height";
    const RECT after = rectOf(IDC_COPY);
    EXPECT_TRUE(::EqualRect(&check, &after)) << "check boxes stay";
}
