#include "ui/ControlsW.h"
#include "ui/WindowClass.h"
#include "ui/tests/TestWindows.h"

#include <commctrl.h>

#include <gtest/gtest.h>

TEST(WindowClass, NamesOfRealControls)
{
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_USEREX_CLASSES | ICC_BAR_CLASSES | ICC_COOL_CLASSES};
    ::InitCommonControlsEx(&icc);
    CTestHost host;
    using Test = bool (*)(const std::wstring&);
    struct Case {
        const wchar_t* className;
        Test test;
    };
    const Case cases[] = {
        {L"Button", IsButtonClass},         {L"Edit", IsEditClass},           {L"ListBox", IsListBoxClass},
        {L"ComboBox", IsComboBoxClass},     {L"ComboBoxEx32", IsComboBoxExClass},
        {L"ReBarWindow32", IsReBarClass},   {L"ToolbarWindow32", IsToolbarClass},
    };
    const Test all[] = {IsButtonClass,     IsEditClass,  IsListBoxClass, IsEditableListBoxClass,
                        IsComboBoxClass,   IsComboBoxExClass, IsReBarClass, IsToolbarClass};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.className);
        const HWND child = host.Child(c.className);
        ASSERT_NE(child, nullptr);
        std::wstring name;
        ASSERT_TRUE(GetClassNameString(child, name));
        EXPECT_TRUE(IsClassName(name, c.className)) << name;
        int matches = 0;
        for (Test t : all) matches += t(name) ? 1 : 0;
        EXPECT_EQ(matches, 1);
        EXPECT_TRUE(c.test(name));
    }
    EXPECT_TRUE(IsEditableListBoxClass(L"editablelistbox"));
    EXPECT_TRUE(IsButtonClass(L"BUTTON"));
    EXPECT_FALSE(IsButtonClass(L"Buttons"));
    std::wstring name = L"old";
    EXPECT_FALSE(GetClassNameString(nullptr, name));
    EXPECT_TRUE(name.empty());
}

TEST(WindowClass, ZOrderOfSiblings)
{
    CTestHost host;
    const HWND a = host.Child(L"Static");
    const HWND b = host.Child(L"Static");
    ::SetWindowPos(a, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(IsBelowInZOrder(b, a));
    EXPECT_FALSE(IsBelowInZOrder(a, b));
    ::SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(IsBelowInZOrder(a, b));
    EXPECT_FALSE(IsBelowInZOrder(b, a));
    EXPECT_FALSE(IsBelowInZOrder(a, a));
    EXPECT_FALSE(IsBelowInZOrder(nullptr, a));
    EXPECT_FALSE(IsBelowInZOrder(a, host.Handle())) << "the parent is no sibling";
}

TEST(WindowClass, FrameBoundsFallBackToTheWindowRectangle)
{
    CTestHost host;
    RECT rect{};
    ASSERT_EQ(GetDwmWindowRect(host.Handle(), rect), S_OK);
    RECT windowRect{};
    ::GetWindowRect(host.Handle(), &windowRect);

    // What the window manager itself says decides which answer is right.
    RECT dwm{};
    HRESULT dwmResult = E_NOTIMPL;
    if (HMODULE module = ::LoadLibraryW(L"dwmapi.dll")) {
        using Fn = HRESULT(WINAPI*)(HWND, DWORD, PVOID, DWORD);
        if (auto fn = reinterpret_cast<Fn>(::GetProcAddress(module, "DwmGetWindowAttribute")))
            dwmResult = fn(host.Handle(), 9, &dwm, sizeof(dwm));
    }
    const RECT& expected = SUCCEEDED(dwmResult) ? dwm : windowRect;
    EXPECT_EQ(rect.left, expected.left);
    EXPECT_EQ(rect.top, expected.top);
    EXPECT_EQ(rect.right, expected.right);
    EXPECT_EQ(rect.bottom, expected.bottom);
    EXPECT_EQ(windowRect.right - windowRect.left, 400);

    HWND gone = host.Child(L"Static");
    ::DestroyWindow(gone);
    EXPECT_EQ(GetDwmWindowRect(gone, rect), HRESULT_FROM_WIN32(ERROR_INVALID_WINDOW_HANDLE));
}

TEST(WindowClass, ControlWrappers)
{
    CTestHost host;
    CComboBoxW combo(host.Child(L"ComboBox", CBS_DROPDOWNLIST, 0, RECT{10, 10, 200, 200}));
    CListBoxW list(host.Child(L"ListBox", 0, 0, RECT{10, 60, 200, 200}));
    for (const wchar_t* text : {L"一", L"two", L"三つ"}) {
        combo.AddString(text);
        list.AddString(text);
    }
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(list.GetCount(), 3);
    std::wstring text;
    ASSERT_TRUE(combo.GetLBText(2, text));
    EXPECT_EQ(text, L"三つ");
    ASSERT_TRUE(list.GetItemText(0, text));
    EXPECT_EQ(text, L"一");
    EXPECT_FALSE(list.GetItemText(7, text));
    EXPECT_EQ(combo.FindStringExact(-1, L"TWO"), 1);
    combo.SetCurSel(1);
    EXPECT_EQ(combo.GetCurSel(), 1);

    CButtonW check(host.Child(L"Button", BS_AUTOCHECKBOX));
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    CEditW edit(host.Child(L"Edit"));
    edit.SetWindowText(L"abcdef");
    edit.SetSel(1, 3);
    edit.ReplaceSel(L"XY");
    std::wstring read;
    edit.GetWindowText(read);
    EXPECT_EQ(read, L"aXYdef");
}
