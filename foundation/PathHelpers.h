#pragma once
// Text operations on Windows paths held as wide strings; nothing here touches the file system.
#include <cstddef>
#include <list>
#include <string>

// Joining and splitting.
std::wstring& AppendPath(std::wstring& folder, const wchar_t* name);
std::wstring& AppendPath(std::wstring& folder, const std::wstring& name);
std::wstring CombinePath(const std::wstring& folder, const std::wstring& name);
void JoinPath(std::wstring& out, const std::wstring& a, const std::wstring& b, wchar_t separator = L'\\');
void PathTransform(std::wstring& a, const std::wstring& b, wchar_t separator = L'\\');
void JoinFileExtension(std::wstring& out, const std::wstring& base, const std::wstring& extension);
bool SplitFileName(std::wstring& path, std::wstring& name);
void RemoveFileSpec(std::wstring& path);
bool GetFileName(const std::wstring& path, std::wstring& name);
bool SplitFileExtension(const std::wstring& path, std::wstring& base, std::wstring& extension);
std::wstring GetBaseName(const std::wstring& path);
std::wstring GetFileExtension(const std::wstring& path);
bool GetFileNamePart(const std::wstring& path, std::wstring& out, bool withExtension);
bool GetLastComponent(const std::wstring& path, std::wstring& out);
void SplitFirstComponent(std::wstring& first, std::wstring& rest, const std::wstring& path);
size_t GetRootLength(const std::wstring& path);
void SplitRoot(const std::wstring& path, std::wstring& root, std::wstring& rest);
void SplitPath(const std::wstring& path, std::list<std::wstring>& out);
bool NormalizeDots(std::wstring& path);
void GetParentPath(std::wstring& out, const std::wstring& path);
bool ToParentFolder(std::wstring& path);
std::wstring GetParentFolder(const std::wstring& path);
bool RemovePathPrefix(std::wstring& out, const std::wstring& path, const std::wstring& folder);
void GetCommonFolder(const std::wstring& a, const std::wstring& b, std::wstring& out);

// Trailing separators.
bool EndsWithSeparator(const std::wstring& path);
bool AddTrailingSeparator(std::wstring& path);
bool RemoveTrailingSeparator(std::wstring& path);
bool RemoveTrailingBackslash(std::wstring& path);
bool DropTrailingSeparator(std::wstring& path);
bool AddSeparatorAfterColon(std::wstring& path);
bool AddSeparatorToDriveSpec(std::wstring& path);
bool TruncateAtNul(std::wstring& text);

// Predicates on path text.
bool IsPathSeparator(wchar_t c);
bool IsAllDots(const std::wstring& text);
bool EndsWithColon(const std::wstring& path);
bool IsDriveSpec(const std::wstring& path);
bool EndsWithDriveRoot(const std::wstring& path);
bool IsDriveRootPath(const std::wstring& path);
bool IsDriveRoot(const std::wstring& path);
bool IsUncServerRoot(const std::wstring& path);
bool IsUncShareRoot(const std::wstring& path);
bool IsRootPath(const std::wstring& path);
bool IsTopLevelPath(const std::wstring& path);
bool HasNoSeparator(const std::wstring& path);
bool HasNoFolderPart(const std::wstring& path);
bool IsRootRelative(const std::wstring& path);
bool IsAbsolutePath(const std::wstring& path);
bool IsValidRelativePath(const std::wstring& path);

wchar_t GetDriveLetter(const std::wstring& path);
void GetDriveRoot(const std::wstring& path, std::wstring& out);

// Case-insensitive comparison in the process-wide "C" locale.
int CompareNoCase(const wchar_t* a, const wchar_t* b);
int CompareNoCase(const wchar_t* a, const wchar_t* b, size_t count);
int CompareNoCase(const std::wstring& a, const std::wstring& b);
int CompareNoCase(const std::wstring& a, const std::wstring& b, size_t count);
bool EqualsNoCase(const wchar_t* a, const wchar_t* b);
bool EqualsNoCase(const std::wstring& a, const std::wstring& b);
bool StartsWithNoCase(const wchar_t* text, const wchar_t* prefix);
bool StartsWithNoCase(const std::wstring& text, const std::wstring& prefix);
bool EndsWithNoCase(const wchar_t* text, const wchar_t* suffix);
bool EndsWithNoCase(const std::wstring& text, const std::wstring& suffix);
// This one compares in the current locale (_wcsicmp).
bool EndsWithNoCase(const std::wstring& text, const wchar_t* suffix);

bool IsSamePath(const std::wstring& a, const std::wstring& b);
bool IsSameOrSubPath(const std::wstring& folder, const std::wstring& path);
bool IsPathUnder(const std::wstring& path, const std::wstring& folder);
bool EqualsIgnoreCase(const std::wstring& a, const std::wstring& b);
wchar_t FoldPathChar(wchar_t c);
int ComparePathsNatural(const std::wstring& a, const std::wstring& b);
int CompareUInt(unsigned int a, unsigned int b);

// Characters file names may not hold, replaced by their full-width or typographic forms.
void ToValidFileNameChars(std::wstring& out, const wchar_t* text);
