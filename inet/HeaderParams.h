#pragma once
// Header text parsed into headers with their parameters (Content-Type's boundary,
// Content-Disposition's name and filename).
#include <oaidl.h>
#include <windows.h>

#include <map>
#include <string>

struct CHeaderEntry {
    std::wstring value;
    std::map<std::wstring, std::wstring> parameters; // lower-case name -> value
};

using CHeaderMap = std::map<std::wstring, CHeaderEntry>; // lower-case header name -> entry

bool SplitHeaderLine(const std::wstring& line, std::wstring& name, std::wstring& value);
void ParseHeaderLine(CHeaderMap& headers, const std::wstring& line);
void ParseHeaderText(CHeaderMap& headers, const std::wstring& text);
HRESULT ParseHeaderText(CHeaderMap& headers, const VARIANT& text);

// "name <sep> value" split at the first separator: the name trimmed (no blank inside, not
// empty), the value trimmed and freed of one pair of enclosing quotes.
bool SplitNameValue(const std::wstring& text, wchar_t separator, std::wstring& name, std::wstring& value);
