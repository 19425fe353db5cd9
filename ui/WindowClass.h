#pragma once
// Window-class tests, z-order and the visible frame bounds of a window.
#include <windows.h>

#include <string>

bool GetClassNameString(HWND hWnd, std::wstring& name);
// Case-insensitive in the "C" locale.
bool IsClassName(const std::wstring& name, const wchar_t* expected);

bool IsButtonClass(const std::wstring& name);
bool IsEditClass(const std::wstring& name);
bool IsListBoxClass(const std::wstring& name);
bool IsEditableListBoxClass(const std::wstring& name);
bool IsComboBoxClass(const std::wstring& name);
bool IsComboBoxExClass(const std::wstring& name);
bool IsReBarClass(const std::wstring& name);
bool IsToolbarClass(const std::wstring& name);

// Whether `other` is met walking down the z-order from `window`.
bool IsBelowInZOrder(HWND window, HWND other);

// The extended frame bounds from the desktop window manager, or the window rectangle when it
// has none to give.
HRESULT GetDwmWindowRect(HWND hWnd, RECT& rect);
