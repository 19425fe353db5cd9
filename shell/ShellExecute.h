#pragma once
// Opening files and programs through the shell, Explorer with an item selected, and started
// processes that can be waited for.
#include <windows.h>

#include <string>

// The system error for a ShellExecuteW result; 0 means success.
DWORD ShellExecuteErrorToWin32(INT_PTR result);
void ShellExecuteOrThrow(const std::wstring& file, const std::wstring& parameters);
INT_PTR ShellExecuteNoThrow(const std::wstring& file, const std::wstring& parameters);
// A new Explorer window on the item's folder with the item selected.
void OpenExplorerSelect(const std::wstring& path);

// The started process's handle (the caller closes it), or null.
HANDLE ShellExecuteExToProcess(const std::wstring& file, const std::wstring& parameters, const std::wstring& verb,
                               HWND owner, int show);
// Blocks without pumping messages until the process ends; false when none was started.
bool ShellExecuteExAndWait(const std::wstring& file, const std::wstring& parameters, const std::wstring& verb,
                           HWND owner, int show, DWORD* exitCode);
HANDLE RunAs(const std::wstring& file, const std::wstring& parameters, HWND owner, int show);
bool RunAsAndWait(const std::wstring& file, const std::wstring& parameters, HWND owner, int show, DWORD* exitCode);
