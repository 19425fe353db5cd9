#include "foundation/AppInfo.h"
#include "foundation/ResString.h"
#include "ids/forms.h"
#include "resource.h"
#include "tests/support/UiLanguage.h"
#include "ui/AboutDlg.h"

#include <gtest/gtest.h>

namespace {

std::wstring ItemText(HWND dialog, int id)
{
    std::wstring text;
    CWindowW(::GetDlgItem(dialog, id)).GetWindowText(text);
    return text;
}

class AboutDlg : public testing::Test {
protected:
    void SetUp() override
    {
        g_appInfo.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
        ASSERT_TRUE(g_appInfo.IsInitialized());
        ASSERT_TRUE(m_dialog.Create(nullptr));
    }
    void TearDown() override
    {
        if (m_dialog.m_hWnd) m_dialog.DestroyWindow();
    }
    CAboutDlg m_dialog;
};

} // namespace

TEST_F(AboutDlg, ShowsTheApplicationRecord)
{
    std::wstring expected;
    g_appInfo.GetDisplayNameAndVersion(expected);
    EXPECT_EQ(ItemText(m_dialog, IDC_ABOUT_NAME), expected);
    EXPECT_EQ(expected, LoadResString(IDS_DISPLAY_NAME) + L"  1.0.0.0");
    EXPECT_EQ(ItemText(m_dialog, IDC_ABOUT_LEGAL), g_appInfo.GetLegalNotice());
    EXPECT_FALSE(g_appInfo.GetLegalNotice().empty());
    EXPECT_EQ(::SendDlgItemMessageW(m_dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0),
              reinterpret_cast<LRESULT>(g_appInfo.GetLargeIcon()));
    std::wstring caption;
    m_dialog.GetWindowText(caption);
    EXPECT_EQ(caption, ByLanguage(L"About", L"バージョン情報"));
}

TEST_F(AboutDlg, HomePageLinkIsBlueUnderlinedAndShowsTheHand)
{
    // The template's address stays when the record has no home page.
    EXPECT_EQ(ItemText(m_dialog, IDC_ABOUT_LINK), L"https://fernhollow.example/");
    m_dialog.DestroyWindow();
    g_appInfo.SetHomePageId(IDS_USAGE_URL);
    ASSERT_TRUE(m_dialog.Create(nullptr));
    EXPECT_EQ(ItemText(m_dialog, IDC_ABOUT_LINK), LoadResString(IDS_USAGE_URL));

    HWND link = m_dialog.GetDlgItem(IDC_ABOUT_LINK);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0));
    ASSERT_EQ(font, m_dialog.GetLinkFont());
    LOGFONTW logFont{}, dialogFont{};
    ::GetObjectW(font, sizeof(logFont), &logFont);
    ::GetObjectW(reinterpret_cast<HFONT>(m_dialog.SendMessage(WM_GETFONT)), sizeof(dialogFont), &dialogFont);
    EXPECT_EQ(logFont.lfUnderline, 1);
    EXPECT_EQ(logFont.lfHeight, dialogFont.lfHeight);
    EXPECT_STREQ(logFont.lfFaceName, dialogFont.lfFaceName);

    HDC dc = ::CreateCompatibleDC(nullptr);
    const LRESULT linkBrush = m_dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                   reinterpret_cast<LPARAM>(link));
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 0xFF));
    EXPECT_EQ(::GetBkColor(dc), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(linkBrush, reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)));
    const LRESULT plainBrush = m_dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                    reinterpret_cast<LPARAM>(m_dialog.GetDlgItem(IDC_ABOUT_NAME)));
    EXPECT_EQ(::GetTextColor(dc), ::GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(plainBrush, reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)));
    ::DeleteDC(dc);

    HCURSOR before = ::SetCursor(nullptr);
    EXPECT_TRUE(m_dialog.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    ::SetCursor(before);
}

TEST_F(AboutDlg, ClosesWithTheButtonId)
{
    // Run modally: the OK button posted before the loop starts ends it with IDOK.
    m_dialog.DestroyWindow();
    struct CModalProbe : CAboutDlg {
        LRESULT ProbeInit(UINT, WPARAM, LPARAM, BOOL& bHandled)
        {
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(IDOK)));
            bHandled = FALSE;
            return 0;
        }
        BEGIN_MSG_MAP(CModalProbe)
            MESSAGE_HANDLER(WM_INITDIALOG, ProbeInit)
            CHAIN_MSG_MAP(CAboutDlg)
        END_MSG_MAP()
    } probe;
    EXPECT_EQ(probe.DoModal(nullptr), IDOK);
}

TEST(AboutStrings, GenericCommandMessagesInBothLanguages)
{
    EXPECT_EQ(LoadResString(IDS_IDLIST_EMPTY), ByLanguage(L"ID list is empty", L"ID リストが空です"));
    EXPECT_EQ(LoadResString(IDS_CONFIRM_OPEN_NEAREST_FOLDER),
              ByLanguage(L"Specified path is not found.\n\nOpen the nearest existing parent folder ?",
                         L"ファイルが見つかりません。\n\n近くのフォルダーを開きますか？"));
}
