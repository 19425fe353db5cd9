#include "foundation/CriticalSection.h"

#include <AtlException.h>

CAutoCriticalSection::CAutoCriticalSection(const wchar_t* name)
{
    const HRESULT hr = ATL::CComCriticalSection::Init();
    if (FAILED(hr)) ATL::AtlThrow(hr);
    if (name) m_name = name;
}

CAutoCriticalSection::~CAutoCriticalSection() { ATL::CComCriticalSection::Term(); }
