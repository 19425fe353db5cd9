#include "app/Command.h"

#include "ui/Msg.h"

void CCommand::Execute(bool doIt, bool rethrow)
{
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    RunGuarded(err, &CCommand::ExecuteImpl, this, doIt);
    if (!err.HasError()) return;
    if (err.m_hWnd) ::SetFocus(err.m_hWnd);
    if (m_msg) m_msg->ShowError(err);
    if (rethrow) throw my::CCtrlException(err);
}

void CCommand::ExecuteQuiet()
{
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    RunGuarded(err, &CCommand::ExecuteImpl, this, true);
}

bool CCommand::CanExecute()
{
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    RunGuarded(err, &CCommand::ExecuteImpl, this, false);
    return !err.HasError();
}

void CCommand::ExecuteImpl(bool) {}
