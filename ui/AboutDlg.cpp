#include "ui/AboutDlg.h"

#include "foundation/AppInfo.h"

#include <shellapi.h>

CAboutDlg::~CAboutDlg()
{
    if (m_linkFont) ::DeleteObject(m_linkFont);
}

LRESULT CAboutDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    CenterWindow(GetParent());

    if (HICON icon = g_appInfo.GetLargeIcon())
        ::SendDlgItemMessageW(m_hWnd, IDC_ABOUT_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);

    std::wstring nameAndVersion;
    g_appInfo.GetDisplayNameAndVersion(nameAndVersion);
    SetDlgItemTextSkipSame(m_hWnd, IDC_ABOUT_NAME, nameAndVersion);

    // A record without a legal notice keeps the template's line, as an empty home page keeps the link's.
    if (GetDlgItem(IDC_ABOUT_LEGAL) && !g_appInfo.GetLegalNotice().empty())
        SetDlgItemTextSkipSame(m_hWnd, IDC_ABOUT_LEGAL, g_appInfo.GetLegalNotice());

    if (!g_appInfo.GetHomePage().empty()) SetDlgItemTextSkipSame(m_hWnd, IDC_ABOUT_LINK, g_appInfo.GetHomePage());

    LOGFONTW font{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (dialogFont && ::GetObjectW(dialogFont, sizeof(font), &font) == sizeof(font)) {
        font.lfUnderline = 1;
        if (m_linkFont) ::DeleteObject(m_linkFont);
        m_linkFont = ::CreateFontIndirectW(&font);
        if (m_linkFont)
            ::SendDlgItemMessageW(m_hWnd, IDC_ABOUT_LINK, WM_SETFONT, reinterpret_cast<WPARAM>(m_linkFont), TRUE);
    }
    return TRUE;
}

LRESULT CAboutDlg::OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL& bHandled)
{
    HWND under = reinterpret_cast<HWND>(wParam);
    if (!under || under != GetDlgItem(IDC_ABOUT_LINK)) {
        bHandled = FALSE;
        return FALSE;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
    return TRUE;
}

LRESULT CAboutDlg::OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    HDC dc = reinterpret_cast<HDC>(wParam);
    HWND control = reinterpret_cast<HWND>(lParam);
    if (::GetDlgCtrlID(control) == IDC_ABOUT_LINK) {
        ::SetTextColor(dc, RGB(0, 0, 0xFF));
        ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    return reinterpret_cast<LRESULT>(OnCtlColorStaticPlain(dc));
}

LRESULT CAboutDlg::OnLinkClicked(WORD, WORD, HWND, BOOL&)
{
    std::wstring address;
    CWindowW(GetDlgItem(IDC_ABOUT_LINK)).GetWindowTextTrim(address, true);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    info.hwnd = m_hWnd;
    info.lpFile = address.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (address.empty() || !::ShellExecuteExW(&info)) ::MessageBeep(0);
    return 0;
}

LRESULT CAboutDlg::OnClose(WORD, WORD id, HWND, BOOL&)
{
    EndDialog(id);
    return 0;
}

HBRUSH OnCtlColorStaticPlain(HDC dc)
{
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    ::SetBkColor(dc, ::GetSysColor(COLOR_BTNFACE));
    return ::GetSysColorBrush(COLOR_BTNFACE);
}

bool SetDlgItemTextSkipSame(HWND dialog, int id, const std::wstring& text)
{
    HWND item = ::GetDlgItem(dialog, id);
    return item && CWindowW(item).SetWindowText(text, true);
}
