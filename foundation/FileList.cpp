#include "foundation/FileList.h"

#include "foundation/FindFile.h"
#include "foundation/PathHelpers.h"
#include "foundation/PlatformPaths.h"

#include <cstring>
#include <cwchar>
#include <sstream>
#include <vector>

namespace {

struct EnumFilter {
    const boost::wregex* expression; // null: every name passes
    DWORD mask;
    DWORD value;
    bool recurse;
};

// Calls `visit(finder)` for each entry of `folder`\`prefix`, dots left out. False when the folder
// could not be listed whole; a folder that is not there lists nothing and is no failure.
template <typename Visit> bool ForEachEntry(const std::wstring& folder, const std::wstring& prefix, Visit visit)
{
    std::wstring search(folder);
    if (!prefix.empty()) AppendPath(search, prefix);
    AppendPath(search, L"*.*");
    CFindFile finder;
    if (!finder.FindFile(search.c_str())) {
        // A folder held without sharing answers ERROR_SHARING_VIOLATION, a card that went
        // ERROR_NOT_READY; only a root may list nothing at all (ERROR_FILE_NOT_FOUND).
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    do {
        if (!finder.IsDots()) visit(finder);
    } while (finder.FindNextFile());
    return ::GetLastError() == ERROR_NO_MORE_FILES;
}

void EnumLevel(std::list<std::wstring>& out, const std::wstring& folder, const std::wstring& prefix,
               const EnumFilter& filter)
{
    ForEachEntry(folder, prefix, [&](CFindFile& finder) {
        const wchar_t* name = finder.GetFileName();
        const size_t length = std::wcslen(name);
        const bool passes = (finder.GetAttributes() & filter.mask) == filter.value &&
                            (!filter.expression || boost::regex_search(name, name + length, *filter.expression));
        if (passes) {
            out.emplace_back(prefix);
            AppendPath(out.back(), name);
        }
        if (filter.recurse && finder.IsDirectory()) EnumLevel(out, folder, CombinePath(prefix, name), filter);
    });
}

void EnumMatchLevel(std::list<std::wstring>& out, const std::wstring& folder, const std::wstring& prefix,
                    const boost::wregex* expression, bool recurse)
{
    ForEachEntry(folder, prefix, [&](CFindFile& finder) {
        const wchar_t* name = finder.GetFileName();
        if (finder.IsDirectory()) {
            if (recurse) EnumMatchLevel(out, folder, CombinePath(prefix, name), expression, recurse);
            return;
        }
        // An expression left failed by its own flags matches nothing.
        if (!expression ||
            (expression->status() == 0 && boost::regex_match(name, name + std::wcslen(name), *expression)))
            out.push_back(CombinePath(prefix, name));
    });
}

void CollectSubFolders(std::list<std::wstring>& out, const wchar_t* pattern)
{
    out.clear();
    CFindFile finder;
    if (!FindFirstFolder(finder, pattern)) return;
    do {
        if (finder.IsDirectory() && !finder.IsDots()) out.emplace_back(finder.GetFileName());
    } while (finder.FindNextFile());
}

} // namespace

void EnumFiles(std::list<std::wstring>& out, const std::wstring& folder, const std::wstring& pattern,
               DWORD attributeMask, DWORD attributeValue, bool recurse)
{
    boost::wregex expression;
    if (!pattern.empty()) expression.assign(pattern);
    const EnumFilter filter = {pattern.empty() ? nullptr : &expression, attributeMask, attributeValue, recurse};
    EnumLevel(out, folder, std::wstring(), filter);
}

bool ListFolderNames(std::list<std::wstring>& out, const std::wstring& folder)
{
    std::list<std::wstring> names;
    if (!ForEachEntry(folder, std::wstring(),
                      [&names](CFindFile& finder) { names.emplace_back(finder.GetFileName()); }))
        return false;
    out.splice(out.end(), names);
    return true;
}

bool EnumFilesMatch(std::list<std::wstring>& out, const wchar_t* folder, const wchar_t* pattern, bool recurse)
{
    out.clear();
    boost::wregex expression;
    if (pattern && !TryAssignRegex(expression, pattern)) return false;
    EnumMatchLevel(out, folder ? folder : L"", std::wstring(), pattern ? &expression : nullptr, recurse);
    return true;
}

bool TryAssignRegex(boost::wregex& re, const wchar_t* pattern)
{
    try {
        re.assign(pattern ? pattern : L"");
        return true;
    } catch (...) {
        return false;
    }
}

void ListSubFolders(std::list<std::wstring>& out, const wchar_t* folder)
{
    std::wstring pattern(folder ? folder : L"");
    AppendPath(pattern, L"*.*");
    CollectSubFolders(out, pattern.c_str());
}

void ListSubFoldersMatching(std::list<std::wstring>& out, const wchar_t* pattern) { CollectSubFolders(out, pattern); }

void MakeFullPaths(const std::list<std::wstring>& names, const std::wstring& folder, std::list<std::wstring>& out)
{
    std::list<std::wstring> result;
    for (const std::wstring& name : names) result.push_back(CombinePath(folder, name));
    out.swap(result);
}

bool GetFullPaths(const std::list<std::wstring>& in, std::list<std::wstring>& out)
{
    out.clear();
    for (const std::wstring& item : in) {
        std::wstring full;
        if (!GetFullPath(full, item.c_str())) return false;
        out.push_back(full);
    }
    return true;
}

void ListToMultiString(const std::list<std::wstring>& items, std::wstring& out)
{
    std::wstring result;
    for (const std::wstring& item : items) {
        result.append(item.c_str());
        result.push_back(L'\0');
    }
    result.push_back(L'\0');
    out.swap(result);
}

void ListToLines(const std::list<std::wstring>& items, std::wstring& out)
{
    std::wostringstream os;
    WriteLinesCrLf(items, os);
    out = os.str();
}

std::wstring ListFirstLines(const std::list<std::wstring>& items, size_t max)
{
    std::wstring text;
    size_t listed = 0;
    for (const std::wstring& item : items) {
        if (listed == max) return text + L"\n...";
        if (listed++) text += L"\n";
        text += item;
    }
    return text;
}

void WriteLines(const std::list<std::wstring>& items, std::wostream& os)
{
    for (const std::wstring& item : items) os << item << std::endl;
}

void WriteLinesCrLf(const std::list<std::wstring>& items, std::wostream& os)
{
    for (const std::wstring& item : items) os << item << L"\r\n";
}

void ParseMultiString(const wchar_t* list, std::list<std::wstring>& out)
{
    if (!list) return;
    while (*list) {
        const size_t length = std::wcslen(list);
        out.emplace_back(list, length);
        list += length + 1;
    }
}

void ParseMultiString(const char* list, std::list<std::wstring>& out)
{
    if (!list) return;
    while (*list) {
        const int length = static_cast<int>(std::strlen(list));
        const int wide = ::MultiByteToWideChar(CP_THREAD_ACP, 0, list, length, nullptr, 0);
        std::wstring piece(wide > 0 ? wide : 0, L'\0');
        if (wide > 0) ::MultiByteToWideChar(CP_THREAD_ACP, 0, list, length, piece.data(), wide);
        out.push_back(piece);
        list += length + 1;
    }
}
