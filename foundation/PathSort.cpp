#include "foundation/PathSort.h"

#include <windows.h>

#include <shlwapi.h>

#include <cwchar>

namespace {

// Compares the components [a, a + na) and [b, b + nb), which are not NUL-terminated.
int CompareComponents(const wchar_t* a, size_t na, const wchar_t* b, size_t nb)
{
    // Equal text is equal for StrCmpLogicalW too; saves the copies on shared folder levels.
    if (na == nb && std::wmemcmp(a, b, na) == 0) return 0;
    thread_local std::wstring left, right;
    left.assign(a, na);
    right.assign(b, nb);
    return ::StrCmpLogicalW(left.c_str(), right.c_str());
}

} // namespace

bool ComparePathsLogical::operator()(const std::wstring& a, const std::wstring& b) const
{
    size_t i = 0, j = 0;
    for (;;) {
        const size_t p = a.find(L'\\', i);
        const size_t q = b.find(L'\\', j);
        const bool aGoesOn = p != std::wstring::npos;
        const bool bGoesOn = q != std::wstring::npos;
        if (!aGoesOn && bGoesOn) return m_filesFirst;
        if (aGoesOn && !bGoesOn) return !m_filesFirst;
        // Last components run to the end of the strings and need no copy.
        const int r = aGoesOn ? CompareComponents(a.data() + i, p - i, b.data() + j, q - j)
                              : ::StrCmpLogicalW(a.c_str() + i, b.c_str() + j);
        if (r != 0) return r < 0;
        if (!aGoesOn) return false;
        i = p + 1;
        j = q + 1;
    }
}

void SortLogical(std::list<std::wstring>& list)
{
    list.sort([](const std::wstring& a, const std::wstring& b) { return ::StrCmpLogicalW(a.c_str(), b.c_str()) < 0; });
}

void SortPathsLogical(std::list<std::wstring>& list, bool filesFirst) { list.sort(ComparePathsLogical(filesFirst)); }
