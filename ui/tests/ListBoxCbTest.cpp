#include "ui/ComboBoxParts.h"
#include "ui/ListBoxCb.h"
#include "ui/tests/TestWindows.h"

#include <gtest/gtest.h>

TEST(ListBoxCb, SearchesInTheListOfADropDownAreExactCaseSensitiveAndWrap)
{
    CTestHost host;
    const HWND combo = host.Child(L"COMBOBOX", CBS_DROPDOWN, 301, RECT{0, 0, 200, 200});
    HWND list = nullptr, edit = nullptr;
    ASSERT_TRUE(GetComboBoxParts(combo, list, edit));
    CListBoxCb box;
    ASSERT_TRUE(box.SubclassWindow(list));
    for (const wchar_t* text : {L"alpha", L"Alpha", L"alphabet", L"beta", L"alpha"})
        ::SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    struct Case {
        int start; // -1 arrives as all bits of the WPARAM set
        const wchar_t* text;
        int found;
    };
    const Case cases[] = {
        {-1, L"alpha", 0},     {1, L"alpha", 4},       {4, L"alpha", 4},    {2, L"Alpha", 1},
        {-1, L"alph", LB_ERR}, {-1, L"ALPHA", LB_ERR}, {-1, L"", LB_ERR}, {99, L"beta", 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        for (UINT message : {LB_FINDSTRINGEXACT, LB_FINDSTRING})
            EXPECT_EQ(::SendMessageW(list, message, static_cast<WPARAM>(c.start), reinterpret_cast<LPARAM>(c.text)),
                      c.found);
    }
    box.UnsubclassWindow();

    ASSERT_TRUE(GetComboBoxParts(host.Child(L"COMBOBOX", CBS_DROPDOWNLIST, 302), list, edit));
    EXPECT_TRUE(list);
    EXPECT_FALSE(edit);
    EXPECT_FALSE(GetComboBoxParts(host.Child(L"BUTTON", 0, 303), list, edit));
}
