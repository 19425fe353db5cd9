#pragma once
// The question before a run: the entries, the destination, and this run's eject and Explorer options.
#include "app/ButtonBool.h"
#include "app/ExecSetting.h"
#include "resource.h"
#include "shell/SHFileOperator.h"
#include "ui/DialogWT.h"

#include <WindowImpl.h>

namespace fhw {

class CConfirmDlg : public ATL::CDialogImpl<CConfirmDlg, CDialogWT<CWindowW>> {
public:
    enum { IDD = IDD_CONFIRM };

    // Takes the run's own copy of the settings and prepares the operator for it.
    void SetSetting(const CExecSetting& setting);

    BEGIN_MSG_MAP(CConfirmDlg)
        MESSAGE_HANDLER(WM_INITDIALOG, OnInitDialog)
        COMMAND_ID_HANDLER(IDOK, OnEnd)
        COMMAND_ID_HANDLER(IDCANCEL, OnEnd)
        REFLECT_NOTIFICATIONS()
    END_MSG_MAP()

    CExecSetting m_setting;
    CSHFileOperator m_operator;
    CButtonBool<CExecSetting> m_eject;
    CButtonBool<CExecSetting> m_explorer;

private:
    LRESULT OnInitDialog(UINT, WPARAM, LPARAM, BOOL&);
    LRESULT OnEnd(WORD, WORD id, HWND, BOOL&);
};

} // namespace fhw
