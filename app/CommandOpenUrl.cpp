#include "app/CommandOpenUrl.h"

#include "foundation/ResString.h"
#include "shell/ShellExecute.h"

void CCommandOpenUrl::ExecuteImpl(bool doIt)
{
    if (!doIt) return;
    std::wstring address;
    LoadResString(address, m_id);
    ShellExecuteOrThrow(address, std::wstring());
}
