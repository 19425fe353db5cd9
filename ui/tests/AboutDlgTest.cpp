#include "ui/AboutDlg.h"

#include "foundation/AppInfo.h"
#include "foundation/ResString.h"

#include <gtest/gtest.h>

namespace {

INT_PTR CALLBACK TemplateOnly(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[256] = L"";
    ::GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

} // namespace

// A record that holds no legal notice and no home page leaves both lines as the template has them;
// the template itself, shown with no code of ours, is the reference.
TEST(AboutBox, EmptyRecordFieldsKeepTheTemplateTexts)
{
    ASSERT_TRUE(g_appInfo.GetLegalNotice().empty()) << "this test process never fills the record";
    ASSERT_TRUE(g_appInfo.GetHomePage().empty());
    HWND plain = ::CreateDialogParamW(GetResourceInstance(), MAKEINTRESOURCEW(CAboutDlg::IDD), nullptr, TemplateOnly,
                                      0);
    ASSERT_TRUE(plain);
    const std::wstring legal = ItemText(plain, IDC_ABOUT_LEGAL), link = ItemText(plain, IDC_ABOUT_LINK);
    ::DestroyWindow(plain);
    ASSERT_FALSE(legal.empty());
    ASSERT_FALSE(link.empty());

    CAboutDlg about;
    ASSERT_TRUE(about.Create(nullptr));
    EXPECT_EQ(ItemText(about, IDC_ABOUT_LEGAL), legal);
    EXPECT_EQ(ItemText(about, IDC_ABOUT_LINK), link);
    EXPECT_TRUE(about.GetLinkFont());
    about.DestroyWindow();
}
