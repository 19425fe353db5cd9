#include "ui/ComboBoxParts.h"
#include "ui/ListBoxCb.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(ListBoxCb, SearchesAreExactCaseSensitiveAndWrap)
{
    CTestHost host;
    HWND list = host.Child(L"LISTBOX", LBS_HASSTRINGS, 300, RECT{0, 0, 200, 200});
    CListBoxCb box;
    ASSERT_TRUE(box.SubclassWindow(list));
    for (const wchar_t* text : {L"alpha", L"Alpha", L"alphabet", L"beta", L"alpha"}) box.AddString(text);

    struct Case {
        int start;
        const wchar_t* text;
        int found;
    };
    const Case cases[] = {
        {-1, L"alpha", 0}, {0, L"alpha", 0},    {1, L"alpha", 4},  {4, L"alpha", 4}, {-1, L"Alpha", 1},
        {2, L"Alpha", 1},  {-1, L"alph", LB_ERR}, {-1, L"ALPHA", LB_ERR}, {-1, L"", LB_ERR}, {99, L"beta", 3},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(c.start),
                                 reinterpret_cast<LPARAM>(c.text)),
                  c.found)
            << c.start << " " << c.text;
        EXPECT_EQ(::SendMessageW(list, LB_FINDSTRING, static_cast<WPARAM>(c.start), reinterpret_cast<LPARAM>(c.text)),
                  c.found)
            << "prefix search answered exactly";
    }

    // The system's own search, when asked for, is the reference: case-insensitive.
    box.m_useSystemFind = true;
    EXPECT_EQ(::SendMessageW(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"ALPHA")), 0);
    box.UnsubclassWindow();
}

TEST(ComboBoxParts, ListAndEditOfADropDown)
{
    CTestHost host;
    HWND combo = host.Child(L"COMBOBOX", CBS_DROPDOWN | WS_VSCROLL, 301, RECT{0, 0, 200, 200});
    HWND list = nullptr, edit = nullptr;
    ASSERT_TRUE(GetComboBoxParts(combo, list, edit));
    EXPECT_EQ(::GetParent(edit), combo);
    wchar_t name[32] = L"";
    ::GetClassNameW(edit, name, 32);
    EXPECT_STREQ(name, L"Edit");
    ::GetClassNameW(list, name, 32);
    EXPECT_STREQ(name, L"ComboLBox");

    HWND dropList = host.Child(L"COMBOBOX", CBS_DROPDOWNLIST, 302, RECT{0, 0, 200, 200});
    ASSERT_TRUE(GetComboBoxParts(dropList, list, edit));
    EXPECT_TRUE(list);
    EXPECT_FALSE(edit);
    HWND notCombo = host.Child(L"BUTTON", 0, 303);
    EXPECT_FALSE(GetComboBoxParts(notCombo, list, edit));
}
