#include "foundation/PathHelpers.h"

#include "foundation/TextHelpers.h"

#include <windows.h>

#include <shlwapi.h>

#include <boost/regex.hpp>

#include <algorithm>
#include <cwchar>
#include <locale>

namespace {

const wchar_t kSeparators[] = L"\\/";

const std::ctype<wchar_t>& GlobalCtype() { return std::use_facet<std::ctype<wchar_t>>(std::locale()); }

size_t LastSeparator(const std::wstring& path) { return path.find_last_of(kSeparators); }

} // namespace

std::wstring& AppendPath(std::wstring& folder, const wchar_t* name)
{
    if (!folder.empty()) {
        const wchar_t last = folder.back();
        if (last != L'\\' && last != L'/' && last != L':') folder += L'\\';
    }
    if (name) folder += name;
    return folder;
}

std::wstring& AppendPath(std::wstring& folder, const std::wstring& name)
{
    if (!folder.empty()) {
        const wchar_t last = folder.back();
        if (last != L'\\' && last != L'/' && last != L':') folder += L'\\';
    }
    folder += name;
    return folder;
}

std::wstring CombinePath(const std::wstring& folder, const std::wstring& name)
{
    std::wstring path(folder);
    return AppendPath(path, name);
}

void JoinPath(std::wstring& out, const std::wstring& a, const std::wstring& b, wchar_t separator)
{
    if (b.empty()) {
        out = a;
        return;
    }
    if (a.empty()) {
        out = b;
        return;
    }
    const bool aEnds = IsPathSeparator(a.back());
    const bool bBegins = IsPathSeparator(b.front());
    std::wstring joined;
    joined.reserve(a.size() + b.size() + 1);
    joined = a;
    if (aEnds && bBegins)
        joined.append(b, 1, std::wstring::npos);
    else if (aEnds || bBegins)
        joined += b;
    else {
        joined += separator;
        joined += b;
    }
    out.swap(joined);
}

void PathTransform(std::wstring& a, const std::wstring& b, wchar_t separator) { JoinPath(a, a, b, separator); }

void JoinFileExtension(std::wstring& out, const std::wstring& base, const std::wstring& extension)
{
    out = extension.empty() ? base : base + L"." + extension;
}

bool SplitFileName(std::wstring& path, std::wstring& name)
{
    if (path.empty()) return false;
    const size_t pos = LastSeparator(path);
    if (pos == std::wstring::npos) {
        name = path;
        path.clear();
    } else {
        name = path.substr(pos + 1);
        path.erase(pos + 1);
    }
    return true;
}

void RemoveFileSpec(std::wstring& path)
{
    std::wstring name;
    SplitFileName(path, name);
}

bool GetFileName(const std::wstring& path, std::wstring& name)
{
    const size_t pos = LastSeparator(path);
    name = pos == std::wstring::npos ? path : path.substr(pos + 1);
    return !name.empty();
}

bool SplitFileExtension(const std::wstring& path, std::wstring& base, std::wstring& extension)
{
    std::wstring name;
    if (!GetFileName(path, name)) return false;
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring::npos) {
        base = name;
        extension.clear();
    } else {
        base = name.substr(0, dot);
        extension = name.substr(dot + 1);
    }
    return true;
}

std::wstring GetBaseName(const std::wstring& path)
{
    std::wstring base, extension;
    SplitFileExtension(path, base, extension);
    return base;
}

std::wstring GetFileExtension(const std::wstring& path)
{
    std::wstring base, extension;
    SplitFileExtension(path, base, extension);
    return extension;
}

bool GetFileNamePart(const std::wstring& path, std::wstring& out, bool withExtension)
{
    if (withExtension) return GetFileName(path, out);
    std::wstring extension;
    out.clear();
    return SplitFileExtension(path, out, extension);
}

bool GetLastComponent(const std::wstring& path, std::wstring& out)
{
    std::wstring trimmed(path);
    DropTrailingSeparator(trimmed);
    GetFileName(trimmed, out);
    return true;
}

void SplitFirstComponent(std::wstring& first, std::wstring& rest, const std::wstring& path)
{
    const size_t pos = path.find(L'\\');
    if (pos == std::wstring::npos) {
        std::wstring whole(path);
        rest.clear();
        first.swap(whole);
    } else {
        std::wstring head = path.substr(0, pos), tail = path.substr(pos + 1);
        first.swap(head);
        rest.swap(tail);
    }
}

size_t GetRootLength(const std::wstring& path)
{
    const size_t n = path.size();
    if (n >= 2 && path[0] == L'\\' && path[1] == L'\\') {
        const size_t pos = path.find(L'\\', 2);
        return pos == std::wstring::npos ? n : pos + 1;
    }
    if (n >= 1 && path[0] == L'\\') return 1;
    if (n >= 3 && path[1] == L':' && path[2] == L'\\') return 3;
    if (n >= 2 && path[1] == L':') return 2;
    return 0;
}

void SplitRoot(const std::wstring& path, std::wstring& root, std::wstring& rest)
{
    const size_t length = GetRootLength(path);
    std::wstring head = path.substr(0, length), tail = path.substr(length);
    root.swap(head);
    rest.swap(tail);
}

void SplitPath(const std::wstring& path, std::list<std::wstring>& out)
{
    if (path.empty()) return;
    size_t begin = 0;
    for (;;) {
        const size_t pos = path.find(L'\\', begin);
        if (pos == std::wstring::npos) {
            out.push_back(path.substr(begin));
            return;
        }
        out.push_back(path.substr(begin, pos - begin));
        begin = pos + 1;
    }
}

bool NormalizeDots(std::wstring& path)
{
    std::list<std::wstring> pieces;
    SplitPath(path, pieces);
    std::wstring rebuilt;
    bool first = true;
    auto add = [&](const std::wstring& component) {
        if (!first) rebuilt += L'\\';
        rebuilt += component;
        first = false;
    };
    for (const std::wstring& piece : pieces) {
        if (!piece.empty() && IsAllDots(piece)) {
            for (size_t k = piece.size() / 2; k > 0; --k) add(L"..");
        } else {
            add(piece);
        }
    }
    path.swap(rebuilt);
    return true;
}

void GetParentPath(std::wstring& out, const std::wstring& path)
{
    const size_t pos = LastSeparator(path);
    std::wstring parent = pos == std::wstring::npos ? std::wstring() : path.substr(0, pos);
    out.swap(parent);
}

bool ToParentFolder(std::wstring& path)
{
    if (path.empty() || IsRootPath(path)) return false;
    RemoveTrailingSeparator(path);
    std::wstring name;
    SplitFileName(path, name);
    return true;
}

std::wstring GetParentFolder(const std::wstring& path)
{
    std::wstring parent(path);
    if (!ToParentFolder(parent)) parent.clear();
    return parent;
}

// A path equal to the folder itself leaves an empty rest.
bool RemovePathPrefix(std::wstring& out, const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty()) {
        out = path;
        return true;
    }
    if (!IsPathUnder(path, folder)) return false;
    size_t start = folder.size();
    if (!EndsWithSeparator(folder) && start < path.size()) ++start;
    std::wstring rest = path.substr(std::min(start, path.size()));
    out.swap(rest);
    return true;
}

void GetCommonFolder(const std::wstring& a, const std::wstring& b, std::wstring& out)
{
    const std::ctype<wchar_t>& ct = GlobalCtype();
    const size_t n = std::min(a.size(), b.size());
    size_t lastSeparator = std::wstring::npos;
    size_t i = 0;
    for (; i < n && ct.tolower(a[i]) == ct.tolower(b[i]); ++i)
        if (IsPathSeparator(a[i])) lastSeparator = i;
    const bool boundary = (i == a.size() || IsPathSeparator(a[i])) && (i == b.size() || IsPathSeparator(b[i]));
    const size_t keep = boundary ? i : (lastSeparator == std::wstring::npos ? 0 : lastSeparator);
    std::wstring common = a.substr(0, keep);
    out.swap(common);
}

bool EndsWithSeparator(const std::wstring& path) { return !path.empty() && IsPathSeparator(path.back()); }

bool AddTrailingSeparator(std::wstring& path)
{
    if (EndsWithSeparator(path)) return false;
    path += L'\\';
    return true;
}

bool RemoveTrailingSeparator(std::wstring& path)
{
    if (!EndsWithSeparator(path) || IsDriveRoot(path)) return false;
    path.pop_back();
    return true;
}

bool RemoveTrailingBackslash(std::wstring& path)
{
    if (path.empty() || path.back() != L'\\') return false;
    path.pop_back();
    return true;
}

bool DropTrailingSeparator(std::wstring& path)
{
    if (!EndsWithSeparator(path)) return false;
    path.pop_back();
    return true;
}

bool AddSeparatorAfterColon(std::wstring& path)
{
    if (!EndsWithColon(path)) return false;
    path += L'\\';
    return true;
}

bool AddSeparatorToDriveSpec(std::wstring& path)
{
    if (!IsDriveSpec(path)) return false;
    path += L'\\';
    return true;
}

bool TruncateAtNul(std::wstring& text)
{
    const size_t pos = text.find(L'\0');
    if (pos == std::wstring::npos) return false;
    text.resize(pos);
    return true;
}

bool IsPathSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsAllDots(const std::wstring& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c == L'.'; });
}

bool EndsWithColon(const std::wstring& path) { return !path.empty() && path.back() == L':'; }

bool IsDriveSpec(const std::wstring& path)
{
    if (!EndsWithColon(path)) return false;
    const wchar_t c = path.front();
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

bool EndsWithDriveRoot(const std::wstring& path)
{
    const size_t n = path.size();
    return n >= 2 && IsPathSeparator(path[n - 1]) && path[n - 2] == L':';
}

bool IsDriveRootPath(const std::wstring& path) { return IsDriveSpec(path) || EndsWithDriveRoot(path); }

bool IsDriveRoot(const std::wstring& path)
{
    const size_t colon = path.find(L':');
    return colon != std::wstring::npos && colon + 2 == path.size() && path[colon + 1] == L'\\';
}

bool IsUncServerRoot(const std::wstring& path)
{
    if (path.size() < 2 || !IsPathSeparator(path[0]) || !IsPathSeparator(path[1])) return false;
    const size_t pos = path.find_first_of(kSeparators, 2);
    return pos == std::wstring::npos || pos == path.size() - 1;
}

bool IsUncShareRoot(const std::wstring& path)
{
    if (path.size() < 5 || path[0] != L'\\' || path[1] != L'\\') return false;
    const size_t share = path.find(L'\\', 2);
    if (share == std::wstring::npos || share < 4) return false;
    const size_t next = path.find(L'\\', share + 1);
    return next == std::wstring::npos || next == path.size() - 1;
}

bool IsRootPath(const std::wstring& path)
{
    if (path.find(L':') != std::wstring::npos) return IsDriveRoot(path);
    if (path.empty()) return false;
    if (path.find_first_not_of(L'\\') == std::wstring::npos) return true;
    return path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\' && (IsUncServerRoot(path) || IsUncShareRoot(path));
}

bool IsTopLevelPath(const std::wstring& path)
{
    return IsUncServerRoot(path) || IsDriveSpec(path) || EndsWithDriveRoot(path) || HasNoSeparator(path);
}

bool HasNoSeparator(const std::wstring& path)
{
    return !path.empty() && path.find_first_of(kSeparators) == std::wstring::npos;
}

bool HasNoFolderPart(const std::wstring& path)
{
    const size_t pos = path.rfind(L'\\');
    return pos == std::wstring::npos || pos == 0;
}

bool IsRootRelative(const std::wstring& path)
{
    return !path.empty() && path[0] == L'\\' && (path.size() < 2 || path[1] != L'\\');
}

bool IsAbsolutePath(const std::wstring& path)
{
    return path.size() >= 3 && ((path[1] == L':' && path[2] == L'\\') || (path[0] == L'\\' && path[1] == L'\\'));
}

// Boost lets ^ and $ match at every line break, so the expression is matched against the whole
// text; a line break is refused outright, since the name classes would otherwise swallow it.
bool IsValidRelativePath(const std::wstring& path)
{
    static const boost::wregex expression(
        LR"(^$|^[^\\/:\*\?"<>\|]+([\\/][^\\/:\*\?"<>\|]+)*$|^[^\\/:\*\?"<>\|]+([\\/][^\\/:\*\?"<>\|]+)*[\\/]$)");
    if (path.find_first_of(L"\r\n\f\v\x85\x2028\x2029") != std::wstring::npos) return false;
    return boost::regex_match(path, expression);
}

wchar_t GetDriveLetter(const std::wstring& path) { return path.size() >= 2 && path[1] == L':' ? path[0] : L'_'; }

void GetDriveRoot(const std::wstring& path, std::wstring& out)
{
    out.assign(1, GetDriveLetter(path));
    out += L":\\";
}

int CompareNoCase(const wchar_t* a, const wchar_t* b) { return _wcsicmp_l(a, b, g_cLocale); }
int CompareNoCase(const wchar_t* a, const wchar_t* b, size_t count) { return _wcsnicmp_l(a, b, count, g_cLocale); }
int CompareNoCase(const std::wstring& a, const std::wstring& b) { return CompareNoCase(a.c_str(), b.c_str()); }
int CompareNoCase(const std::wstring& a, const std::wstring& b, size_t count)
{
    return CompareNoCase(a.c_str(), b.c_str(), count);
}
bool EqualsNoCase(const wchar_t* a, const wchar_t* b) { return CompareNoCase(a, b) == 0; }
bool EqualsNoCase(const std::wstring& a, const std::wstring& b) { return CompareNoCase(a, b) == 0; }

bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix)
{
    const size_t n = std::wcslen(prefix);
    return std::wcslen(text) >= n && CompareNoCase(text, prefix, n) == 0;
}

bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix)
{
    return text.size() >= prefix.size() && CompareNoCase(text, prefix, prefix.size()) == 0;
}

bool EndsWithNoCase(const wchar_t* text, const wchar_t* suffix)
{
    const size_t t = std::wcslen(text), s = std::wcslen(suffix);
    return t >= s && CompareNoCase(text + (t - s), suffix) == 0;
}

bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix)
{
    return text.size() >= suffix.size() &&
           CompareNoCase(text.c_str() + (text.size() - suffix.size()), suffix.c_str()) == 0;
}

bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix)
{
    const size_t s = std::wcslen(suffix);
    return text.size() >= s && _wcsicmp(text.c_str() + (text.size() - s), suffix) == 0;
}

bool IsSamePath(const std::wstring& a, const std::wstring& b)
{
    if (a.size() == b.size()) return CompareNoCase(a, b) == 0;
    const std::wstring& longer = a.size() > b.size() ? a : b;
    const std::wstring& shorter = a.size() > b.size() ? b : a;
    if (longer.size() - shorter.size() != 1) return false;
    return IsPathSeparator(longer[shorter.size()]) && CompareNoCase(longer, shorter, shorter.size()) == 0;
}

bool IsSameOrSubPath(const std::wstring& folder, const std::wstring& path)
{
    if (folder.empty() || path.empty()) return false;
    std::wstring base(folder);
    DropTrailingSeparator(base);
    if (path.size() < base.size() || CompareNoCase(path, base, base.size()) != 0) return false;
    return path.size() == base.size() || IsPathSeparator(path[base.size()]);
}

bool IsPathUnder(const std::wstring& path, const std::wstring& folder)
{
    if (folder.empty()) return true;
    if (path.size() < folder.size()) return false;
    if (!EndsWithSeparator(folder) && path.size() > folder.size() && !IsPathSeparator(path[folder.size()]))
        return false;
    return EqualsIgnoreCase(path.substr(0, folder.size()), folder);
}

bool EqualsIgnoreCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size()) return false;
    const std::ctype<wchar_t>& ct = GlobalCtype();
    for (size_t i = a.size(); i > 0; --i)
        if (ct.tolower(a[i - 1]) != ct.tolower(b[i - 1])) return false;
    return true;
}

wchar_t FoldPathChar(wchar_t c)
{
    if (c >= L'A' && c <= L'Z') return static_cast<wchar_t>(c - L'A' + L'a');
    return c == L'/' ? L'\\' : c;
}

int ComparePathsNatural(const std::wstring& a, const std::wstring& b)
{
    const size_t n = std::min(a.size(), b.size());
    size_t lastSeparator = std::wstring::npos;
    size_t i = 0;
    for (; i < n && FoldPathChar(a[i]) == FoldPathChar(b[i]); ++i)
        if (IsPathSeparator(a[i])) lastSeparator = i;
    if (i == n) {
        if (a.size() == b.size()) return 0;
        return a.size() > b.size() ? 1 : -1;
    }
    const size_t start = lastSeparator == std::wstring::npos ? 0 : lastSeparator + 1;
    const size_t endA = std::min(a.find_first_of(kSeparators, start), a.size());
    const size_t endB = std::min(b.find_first_of(kSeparators, start), b.size());
    return ::StrCmpLogicalW(a.substr(start, endA - start).c_str(), b.substr(start, endB - start).c_str());
}

int CompareUInt(unsigned int a, unsigned int b) { return a < b ? -1 : (a > b ? 1 : 0); }

void ToValidFileNameChars(std::wstring& out, const wchar_t* text)
{
    std::wstring result(text ? text : L"");
    for (wchar_t& c : result) {
        switch (c) {
        case L'"': c = L'\x201D'; break;
        case L'*': c = L'\xFF0A'; break;
        case L',': c = L'\xFF0C'; break;
        case L'/': c = L'\xFF0F'; break;
        case L':': c = L'\xFF1A'; break;
        case L';': c = L'\xFF1B'; break;
        case L'<': c = L'\xFF1C'; break;
        case L'>': c = L'\xFF1E'; break;
        case L'?': c = L'\xFF1F'; break;
        case L'\\': c = L'\xFF3C'; break;
        case L'|': c = L'\xFF5C'; break;
        default: break;
        }
    }
    out.swap(result);
}
