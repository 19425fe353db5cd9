#include "app/CommandExplorer.h"

#include "foundation/PlatformPaths.h"
#include "ids/forms.h"
#include "shell/ShellExecute.h"
#include "ui/Msg.h"

#include <shlwapi.h>

void CCommandExplorer::ExecuteImpl(bool doIt)
{
    // Checked also when only the availability is asked, so an empty command is unavailable.
    if (m_path.empty() && m_idList.IsNull()) throw my::CException(IDS_IDLIST_EMPTY);
    if (!doIt) return;

    std::wstring path = m_path;
    if (path.empty()) m_idList.GetPathOrThrow(path);
    if (!::PathFileExistsW(path.c_str())) {
        if (!m_msg || CMsg::ShowId(*m_msg, IDS_CONFIRM_OPEN_NEAREST_FOLDER, MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
            return;
        path = ResolveExistingPath(path);
    }
    if (m_openFolder && ::PathIsDirectoryW(path.c_str()))
        ShellExecuteOrThrow(path, std::wstring());
    else
        OpenExplorerSelect(path);
}
