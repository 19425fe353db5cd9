#pragma once
// A text loaded from the string table, with the id it came from.
#include <windows.h>

#include <string>

class CResText {
public:
    CResText() = default;
    explicit CResText(UINT id);

    // Loads the text of `id` when it differs from the stored id.
    void SetId(UINT id);

    std::wstring m_text;
    UINT m_id = 0;
};
