#include "ui/KeyState.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(KeyState, ModifierMaskFollowsTheThreadsKeyState)
{
    struct Case {
        bool alt, ctrl, shift;
        UINT mask;
    };
    const Case cases[] = {
        {false, false, false, 0}, {true, false, false, 1}, {false, true, false, 2},
        {false, false, true, 4},  {true, true, true, 7},   {false, true, true, 6},
    };
    for (const auto& c : cases) {
        CKeyStateOverride keys(c.alt, c.ctrl, c.shift);
        EXPECT_EQ(IsAltDown(), c.alt);
        EXPECT_EQ(IsCtrlDown(), c.ctrl);
        EXPECT_EQ(IsShiftDown(), c.shift);
        EXPECT_EQ(GetModifierKeys(), c.mask);
    }
}

TEST(KeyState, RuleTables)
{
    const UINT none = 0, alt = kModAlt, ctrl = kModCtrl, shift = kModShift;
    struct Case {
        KeyRules rules;
        UINT vk;
        UINT m;
        bool expected;
    };
    const Case cases[] = {
        {KeyRules::Edit, 'A', none, true},        {KeyRules::Edit, 'Z', shift, true},
        {KeyRules::Edit, '5', none, true},        {KeyRules::Edit, VK_NUMPAD0, none, true},
        {KeyRules::Edit, VK_DIVIDE, none, true},  {KeyRules::Edit, 186, none, true},
        {KeyRules::Edit, 228, shift, true},       {KeyRules::Edit, 229, none, false},
        {KeyRules::Edit, 'B', ctrl, false},       {KeyRules::Edit, 'A', ctrl, true},
        {KeyRules::Edit, 'C', ctrl, true},        {KeyRules::Edit, 'V', ctrl, true},
        {KeyRules::Edit, 'X', ctrl, true},        {KeyRules::Edit, 'X', ctrl | shift, false},
        {KeyRules::Edit, 'A', alt, false},        {KeyRules::Edit, VK_BACK, alt | ctrl, true},
        {KeyRules::Edit, VK_RETURN, ctrl, true},  {KeyRules::Edit, VK_SPACE, none, true},
        {KeyRules::Edit, VK_DELETE, shift, true}, {KeyRules::Edit, VK_LEFT, alt, true},
        {KeyRules::Edit, VK_DOWN, none, true},    {KeyRules::Edit, VK_F4, none, false},
        {KeyRules::Edit, VK_TAB, none, false},    {KeyRules::Edit, VK_ESCAPE, none, false},
        {KeyRules::ComboEdit, VK_F4, none, true}, {KeyRules::ComboEdit, VK_F4, ctrl, true},
        {KeyRules::ComboEdit, VK_F4, alt, false}, {KeyRules::ComboEdit, VK_F4, alt | shift, true},
        {KeyRules::ComboEdit, 'V', ctrl, true},   {KeyRules::Set3, VK_SPACE, none, true},
        {KeyRules::Set3, VK_SPACE, alt, false},   {KeyRules::Set3, VK_HOME, ctrl, true},
        {KeyRules::Set3, VK_RETURN, none, false}, {KeyRules::Set3, VK_ADD, ctrl, true},
        {KeyRules::Set3, VK_ADD, none, true},     {KeyRules::Set3, 'C', ctrl, false},
        {KeyRules::Set4, VK_BACK, alt, true},     {KeyRules::Set4, VK_SPACE, ctrl, false},
        {KeyRules::Set4, VK_END, none, true},     {KeyRules::Set4, 'q' - 32, none, true},
        {KeyRules::Set5, VK_ESCAPE, ctrl, true},  {KeyRules::Set5, VK_MENU, alt, true},
        {KeyRules::Set5, VK_RETURN, none, true},  {KeyRules::Set5, VK_DELETE, none, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsKeyForRules(c.rules, c.vk, c.m), c.expected)
            << static_cast<int>(c.rules) << " vk " << c.vk << " m " << c.m;
    }
}

TEST(KeyState, FocusedControlDecides)
{
    CTestHost host;
    const HWND combo = host.Child(L"ComboBox", CBS_DROPDOWN, 0, RECT{10, 10, 200, 200});
    const HWND comboEdit = ::GetWindow(combo, GW_CHILD);
    ASSERT_NE(comboEdit, nullptr);
    const HWND edit = host.Child(L"Edit", 0, 0, RECT{10, 60, 200, 80});
    const HWND button = host.Child(L"Button", BS_PUSHBUTTON, 0, RECT{10, 90, 100, 110});
    const HWND list = host.Child(L"ListBox", 0, 0, RECT{10, 120, 100, 200});

    ASSERT_EQ(::SetFocus(comboEdit) != nullptr || ::GetFocus() == comboEdit, true);
    ASSERT_EQ(::GetFocus(), comboEdit);
    EXPECT_TRUE(IsKeyForFocusedControl(VK_F4, 0));
    EXPECT_FALSE(IsKeyForFocusedControl(VK_F4, kModAlt));
    EXPECT_TRUE(IsKeyForFocusedControl('A', kModCtrl));

    ::SetFocus(edit);
    ASSERT_EQ(::GetFocus(), edit);
    EXPECT_FALSE(IsKeyForFocusedControl(VK_F4, 0));
    EXPECT_TRUE(IsKeyForFocusedControl('A', 0));
    EXPECT_FALSE(IsKeyForFocusedControl('A', kModAlt));

    ::SetFocus(button);
    ASSERT_EQ(::GetFocus(), button);
    EXPECT_TRUE(IsKeyForFocusedControl(VK_SPACE, 0));
    EXPECT_FALSE(IsKeyForFocusedControl(VK_RETURN, 0));
    EXPECT_FALSE(IsKeyForFocusedControl('A', 0));

    ::SetFocus(list);
    ASSERT_EQ(::GetFocus(), list);
    EXPECT_FALSE(IsKeyForFocusedControl('A', 0));

    ::SetFocus(nullptr);
    EXPECT_FALSE(IsKeyForFocusedControl('A', 0));
}
