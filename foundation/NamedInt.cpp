#include "foundation/NamedInt.h"

#include "foundation/NumberText.h"
#include "foundation/ResString.h"

CNamedInt::CNamedInt(int value) : m_name(ToWString(static_cast<long>(value))), m_value(value) {}

void CNamedInt::SetNameFromId(UINT id)
{
    if (id == 0)
        m_name.clear();
    else
        LoadResString(m_name, id);
}
