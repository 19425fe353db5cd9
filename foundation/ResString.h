#pragma once
// The string-table loader every user-visible text goes through, and the system's error texts.
#include <windows.h>

#include <string>

HINSTANCE GetResourceInstance();

void LoadResString(std::wstring& out, UINT id, bool throwOnError);
void LoadResString(std::wstring& out, UINT id);
std::wstring LoadResString(UINT id);

// printf-style formatting of string `id` with wide C-string arguments ("%s" takes const wchar_t*).
bool FormatResString(std::wstring& out, UINT id, ...);

void FormatHResultMessage(std::wstring& out, HRESULT code, HMODULE module = nullptr);
