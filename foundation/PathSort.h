#pragma once
// Sorting of paths in the shell's natural (logical) order.
#include <list>
#include <string>

// Less-than over paths, one backslash-separated level at a time: at the level where one path
// ends and the other goes on into a sub-folder, `filesFirst` decides; names compare with
// StrCmpLogicalW.
struct ComparePathsLogical {
    explicit ComparePathsLogical(bool filesFirst) : m_filesFirst(filesFirst) {}
    bool operator()(const std::wstring& a, const std::wstring& b) const;

    bool m_filesFirst;
};

// Stable sorts.
void SortLogical(std::list<std::wstring>& list);
void SortPathsLogical(std::list<std::wstring>& list, bool filesFirst);
