#pragma once
// Lists of paths: folder enumeration by regular expression, full paths, natural sorting, and the
// double-NUL and line forms the shell and dialogs take.
#include "foundation/PathSort.h"

#include <windows.h>

#include <boost/regex.hpp>

#include <list>
#include <ostream>
#include <string>

// Appends (without clearing) every entry of `folder` whose attributes masked by `attributeMask`
// equal `attributeValue` and whose name `pattern` is found in; entries below the folder carry
// their sub-folder path. An invalid pattern throws boost::regex_error.
void EnumFiles(std::list<std::wstring>& out, const std::wstring& folder, const std::wstring& pattern,
               DWORD attributeMask, DWORD attributeValue, bool recurse);
// Appends the names of the entries directly inside `folder`. False, appending nothing, when the
// folder is there but could not be listed (held by another program without sharing, unreadable
// media): what it holds is not known, which is not the same as nothing. A folder that is not
// there lists nothing and is no failure.
bool ListFolderNames(std::list<std::wstring>& out, const std::wstring& folder);
// Clears `out`, then collects the files (never folders) whose whole name `pattern` matches
// (null: every file). False when the pattern does not compile.
bool EnumFilesMatch(std::list<std::wstring>& out, const wchar_t* folder, const wchar_t* pattern, bool recurse);
bool TryAssignRegex(boost::wregex& re, const wchar_t* pattern);

// The bare names of the sub-folders of `folder`, or of those a search `pattern` finds.
void ListSubFolders(std::list<std::wstring>& out, const wchar_t* folder);
void ListSubFoldersMatching(std::list<std::wstring>& out, const wchar_t* pattern);

void MakeFullPaths(const std::list<std::wstring>& names, const std::wstring& folder, std::list<std::wstring>& out);
bool GetFullPaths(const std::list<std::wstring>& in, std::list<std::wstring>& out);

void ListToMultiString(const std::list<std::wstring>& items, std::wstring& out);
void ListToLines(const std::list<std::wstring>& items, std::wstring& out);
// The first `max` items, one a line (no line end after the last), then a line "..." when there
// were more: a list that fits a message box.
std::wstring ListFirstLines(const std::list<std::wstring>& items, size_t max);
void WriteLines(const std::list<std::wstring>& items, std::wostream& os);
void WriteLinesCrLf(const std::list<std::wstring>& items, std::wostream& os);
void ParseMultiString(const wchar_t* list, std::list<std::wstring>& out);
void ParseMultiString(const char* list, std::list<std::wstring>& out);

// A word of option bits.
class CFlagsWord {
public:
    explicit CFlagsWord(DWORD value = 0) : m_value(value) {}
    bool HasAny(DWORD bits) const { return (m_value & bits) != 0; }
    void Set(DWORD bits) { m_value |= bits; }
    DWORD Get() const { return m_value; }

private:
    DWORD m_value;
};
