#include "foundation/AppInfo.h"
#include "foundation/ResString.h"
#include "resource.h"
#include "ui/AboutDlg.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

std::wstring ItemText(HWND dialog, int id)
{
    std::wstring text;
    CWindowW(::GetDlgItem(dialog, id)).GetWindowText(text);
    return text;
}

} // namespace

TEST(AboutDlg, ShowsTheApplicationRecordAndTheHomePageAsALink)
{
    g_appInfo.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
    g_appInfo.SetHomePageId(IDS_USAGE_URL);
    CAboutDlg dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_NAME), LoadResString(IDS_DISPLAY_NAME) + L"  1.0.0.0");
    EXPECT_FALSE(g_appInfo.GetLegalNotice().empty());
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_LEGAL), g_appInfo.GetLegalNotice());
    EXPECT_EQ(::SendDlgItemMessageW(dialog, IDC_ABOUT_ICON, STM_GETICON, 0, 0),
              reinterpret_cast<LRESULT>(g_appInfo.GetLargeIcon()));
    EXPECT_EQ(ItemText(dialog, IDC_ABOUT_LINK), LoadResString(IDS_USAGE_URL));

    // The link: the dialog's font underlined, blue on the button face, and the hand over it.
    const HWND link = dialog.GetDlgItem(IDC_ABOUT_LINK);
    LOGFONTW linkFont{}, dialogFont{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(link, WM_GETFONT, 0, 0)), sizeof(linkFont), &linkFont);
    ::GetObjectW(reinterpret_cast<HFONT>(dialog.SendMessage(WM_GETFONT)), sizeof(dialogFont), &dialogFont);
    dialogFont.lfUnderline = 1;
    EXPECT_EQ(std::memcmp(&linkFont, &dialogFont, sizeof(linkFont)), 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    for (const HWND item : {link, dialog.GetDlgItem(IDC_ABOUT_NAME)}) {
        const LRESULT brush = dialog.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                 reinterpret_cast<LPARAM>(item));
        EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE)));
        EXPECT_EQ(::GetTextColor(dc), item == link ? RGB(0, 0, 0xFF) : ::GetSysColor(COLOR_BTNTEXT));
    }
    ::DeleteDC(dc);
    HCURSOR before = ::SetCursor(nullptr);
    EXPECT_TRUE(dialog.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(link), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_HAND));
    ::SetCursor(before);
    dialog.DestroyWindow();
}
