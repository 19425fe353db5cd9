#pragma once
// Shows a file or folder in Explorer, given as a path or, when the path is empty, as an item ID list.
#include "app/Command.h"
#include "shell/ItemIDList.h"

#include <string>

class CCommandExplorer : public CCommand {
public:
    void ExecuteImpl(bool doIt) override;

    // A folder opens in its own window instead of being selected in its parent.
    bool m_openFolder = true;
    CItemIDList m_idList;
    std::wstring m_path;
};
