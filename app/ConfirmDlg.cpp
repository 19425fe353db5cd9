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
    // On top, and asked to the foreground below: a run started by an arrival asks from a hidden
    // program, which Windows refuses the foreground, and the question would open behind the window
    // the user works in.
    MONITORINFOEXW monitor{};
    int left = 0, top = 0;
    UINT flags = SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOMOVE;
    if (GetPrimaryMonitorInfo(monitor)) {
        RECT self{};
        GetWindowRect(&self);
        const RECT& work = monitor.rcWork;
        left = work.left + ((work.right - work.left) - (self.right - self.left)) / 2;
        top = work.top + ((work.bottom - work.top) - (self.bottom - self.top)) / 2;
        flags &= ~SWP_NOMOVE;
    }
    SetWindowPos(HWND_TOPMOST, left, top, 0, 0, flags);

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
