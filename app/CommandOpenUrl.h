#pragma once
// Opens the web page whose address is a string-table text.
#include "app/Command.h"

#include <windows.h>

class CCommandOpenUrl : public CCommand {
public:
    void ExecuteImpl(bool doIt) override;

    UINT m_id = 0;
};
