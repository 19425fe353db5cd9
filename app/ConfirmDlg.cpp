#include "app/ConfirmDlg.h"

#include "app/AppResources.h"
#include "foundation/FileList.h"
#include "foundation/NumberText.h"
#include "ui/MonitorInfo.h"

namespace fhw {

void CConfirmDlg::SetSetting(const CExecSetting& setting)
{
    m_setting = setting;
    m_operator.m_wFunc = m_setting.GetCopy() ? FO_COPY : FO_MOVE;
    m_operator.m_fFlags = FOF_ALLOWUNDO;
    m_operator.m_to = m_setting.DstFolder;
}

LRESULT CConfirmDlg::OnInitDialog(UINT, WPARAM, LPARAM, BOOL&)
{
    MONITORINFOEXW monitor{};
    if (GetPrimaryMonitorInfo(monitor)) {
        RECT self{};
        GetWindowRect(&self);
        const RECT& work = monitor.rcWork;
        SetWindowPos(nullptr, work.left + ((work.right - work.left) - (self.right - self.left)) / 2,
                     work.top + ((work.bottom - work.top) - (self.bottom - self.top)) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    const std::list<CResText>* pair = nullptr;
    if (m_operator.m_wFunc == FO_MOVE)
        pair = &g_appResources->m_movePair;
    else if (m_operator.m_wFunc == FO_COPY)
        pair = &g_appResources->m_copyPair;
    else
        ThrowInternalError(L"Unknown SHFunc is spacified: " +
                           ToWString(static_cast<unsigned long>(m_operator.m_wFunc)) + L"\n");
    CWindowW(GetDlgItem(IDC_CONFIRM_LINE1)).SetWindowText(pair->front().m_text.c_str(), true);
    CWindowW(GetDlgItem(IDC_CONFIRM_LINE2)).SetWindowText(pair->back().m_text.c_str(), true);

    std::wstring lines;
    ListToLines(m_operator.m_from, lines);
    CWindowW(GetDlgItem(IDC_CONFIRM_SOURCES)).SetWindowText(lines);
    CWindowW(GetDlgItem(IDC_CONFIRM_DESTINATION)).SetWindowText(m_operator.m_to);

    m_eject.Attach(GetDlgItem(IDC_CONFIRM_EJECT), &m_setting, &CExecSetting::GetEject, &CExecSetting::SetEject);
    m_explorer.Attach(GetDlgItem(IDC_CONFIRM_EXPLORER), &m_setting, &CExecSetting::GetShowExplorer,
                      &CExecSetting::SetShowExplorer);
    ::SetForegroundWindow(m_hWnd);
    return TRUE;
}

LRESULT CConfirmDlg::OnEnd(WORD, WORD id, HWND, BOOL&)
{
    EndDialog(id);
    return 0;
}

} // namespace fhw
