#pragma once
// Line-end conversions between LF and CR LF.
#include <string>

// Every LF that does not follow a CR becomes CR LF.
std::wstring ToCRLF(const std::wstring& text);
// Every CR LF becomes LF.
std::wstring ToLF(const std::wstring& text);
// Every CR LF and every lone CR becomes LF.
std::wstring NormalizeLineEnds(const std::wstring& text);
// Every LF, CR LF and lone CR becomes `lineEnd`.
std::wstring ReplaceLineEnds(const std::wstring& text, const std::wstring& lineEnd);
