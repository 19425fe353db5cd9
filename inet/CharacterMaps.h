#pragma once
// Character-for-character maps between URL pieces and file names, and small text conversions.
#include <string>

bool MapCharacters(std::wstring& text, const std::wstring& from, const std::wstring& to);
void ToFileNameCharacters(std::wstring& text);
void ToPathCharacters(std::wstring& text);
void FromPathCharacters(std::wstring& text);
void NoBreakSpaceToSpace(std::wstring& text);
bool CutAtIdeographicSpace(std::wstring& text);
void ToLowerAsciiInPlace(std::wstring& text);
int ToInt(const wchar_t* text);
