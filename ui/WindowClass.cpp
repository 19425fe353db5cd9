#include "ui/WindowClass.h"

#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "foundation/TextHelpers.h"

#include <cwchar>

bool GetClassNameString(HWND hWnd, std::wstring& name)
{
    wchar_t buffer[1024] = {};
    const int n = ::GetClassNameW(hWnd, buffer, 1024);
    name.assign(buffer, n > 0 ? static_cast<size_t>(n) : 0);
    return !name.empty();
}

bool IsClassName(const std::wstring& name, const wchar_t* expected)
{
    return _wcsicmp_l(name.c_str(), expected, g_cLocale) == 0;
}

bool IsButtonClass(const std::wstring& name) { return IsClassName(name, L"Button"); }
bool IsEditClass(const std::wstring& name) { return IsClassName(name, L"Edit"); }
bool IsListBoxClass(const std::wstring& name) { return IsClassName(name, L"ListBox"); }
bool IsEditableListBoxClass(const std::wstring& name) { return IsClassName(name, L"EditableListBox"); }
bool IsComboBoxClass(const std::wstring& name) { return IsClassName(name, L"ComboBox"); }
bool IsComboBoxExClass(const std::wstring& name) { return IsClassName(name, L"ComboBoxEx32"); }
bool IsReBarClass(const std::wstring& name) { return IsClassName(name, L"ReBarWindow32"); }
bool IsToolbarClass(const std::wstring& name) { return IsClassName(name, L"ToolbarWindow32"); }

bool IsBelowInZOrder(HWND window, HWND other)
{
    if (!window || window == other) return false;
    for (HWND h = ::GetWindow(window, GW_HWNDNEXT); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h == other) return true;
    }
    return false;
}

namespace {

using DwmGetWindowAttributeFn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);

// Looked up at run time: the module is absent on old systems. Nothing else in the program loads
// it, so it is loaded here from the system folder once.
DwmGetWindowAttributeFn FindDwmGetWindowAttribute()
{
    static const DwmGetWindowAttributeFn fn = [] {
        HMODULE module = ::GetModuleHandleW(L"dwmapi.dll");
        if (!module) module = ::LoadLibraryExW(L"dwmapi.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        return module ? reinterpret_cast<DwmGetWindowAttributeFn>(::GetProcAddress(module, "DwmGetWindowAttribute"))
                      : nullptr;
    }();
    return fn;
}

} // namespace

HRESULT GetDwmWindowRect(HWND hWnd, RECT& rect)
{
    const DWORD extendedFrameBounds = 9;
    if (const auto fn = FindDwmGetWindowAttribute()) {
        RECT bounds{};
        // Fails without composition (and always under Wine, E_NOTIMPL); the window rectangle is
        // then the best there is.
        if (SUCCEEDED(fn(hWnd, extendedFrameBounds, &bounds, sizeof(bounds)))) {
            rect = bounds;
            return S_OK;
        }
    }
    if (::GetWindowRect(hWnd, &rect)) return S_OK;
    return LastErrorAsHResult();
}
