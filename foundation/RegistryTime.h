#pragma once
// A FILETIME kept in the registry as two DWORD values, "LowDateTime" and "HighDateTime".
#include <windows.h>

// ERROR_INVALID_DATA when the value is not a REG_DWORD of 4 bytes; `out` changes only on success.
LONG RegQueryDword(HKEY key, const wchar_t* name, DWORD& out);
bool RegQueryDwordOk(HKEY key, const wchar_t* name, DWORD& out);
LONG RegSetDword(HKEY key, const wchar_t* name, DWORD value);
bool RegSetDwordOk(HKEY key, const wchar_t* name, DWORD value);

// True only when the key opened and both halves were read; `out` changes only then.
bool RegQueryFileTime(FILETIME& out, const wchar_t* subkey, HKEY parent);
// Creates the key when missing; true only when both halves were written.
bool RegSetFileTime(const FILETIME& ft, const wchar_t* subkey, HKEY parent);
