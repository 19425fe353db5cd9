#include "ui/ResText.h"

#include "foundation/ResString.h"

CResText::CResText(UINT id) : m_id(id)
{
    if (id) LoadResString(m_text, id);
}

void CResText::SetId(UINT id)
{
    if (id == m_id) return;
    m_id = id;
    if (id)
        LoadResString(m_text, id);
    else
        m_text.clear();
}
