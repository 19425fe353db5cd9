#pragma once
// The modal about box: icon, name and version, legal notice and the home page as a link.
#include "ids/forms.h"
#include "ui/DialogWT.h"

#include <WindowImpl.h>

#include <string>

class CAboutDlg : public ATL::CDialogImpl<CAboutDlg, CDialogWT<CWindowW>> {
public:
    enum { IDD = IDD_ABOUTBOX };

    CAboutDlg() = default;
    ~CAboutDlg() override;
    CAboutDlg(const CAboutDlg&) = delete;
    CAboutDlg& operator=(const CAboutDlg&) = delete;

    HFONT GetLinkFont() const { return m_linkFont; }

    BEGIN_MSG_MAP(CAboutDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        MESSAGE_HANDLER(WM_SETCURSOR, OnSetCursor)
        MESSAGE_HANDLER(WM_CTLCOLORSTATIC, OnCtlColorStatic)
        COMMAND_HANDLER(IDC_ABOUT_LINK, STN_CLICKED, OnLinkClicked)
        COMMAND_ID_HANDLER(IDOK, OnClose)
        COMMAND_ID_HANDLER(IDCANCEL, OnClose)
    END_MSG_MAP()

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnSetCursor(UINT, WPARAM wParam, LPARAM, BOOL& bHandled);
    LRESULT OnCtlColorStatic(UINT, WPARAM wParam, LPARAM lParam, BOOL&);
    LRESULT OnLinkClicked(WORD, WORD, HWND, BOOL&);
    LRESULT OnClose(WORD, WORD id, HWND, BOOL&);

    HFONT m_linkFont = nullptr;
};

// Plain statics: button text on the button face.
HBRUSH OnCtlColorStaticPlain(HDC dc);
bool SetDlgItemTextSkipSame(HWND dialog, int id, const std::wstring& text);
