#include "shell/ShellLink.h"

#include "foundation/Exception.h"
#include "ids/foundation.h"
#include "ids/shellops.h"
#include "shell/CheckedIntCast.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

template <class F> UINT FailureOf(F&& f)
{
    try {
        f();
    } catch (const my::CException& e) {
        return e.m_id;
    }
    return 0;
}

TEST(ShellLinks, AWrittenShortcutReadsBack)
{
    CTempFolder temp;
    const std::wstring target = temp.WriteFile(L"Fernhollow.exe", "MZ");
    const std::wstring path = temp / L"Fernhollow.lnk";
    CreateShellLink(path, target, L"/start");

    CShellLink link;
    link.Load(path.c_str());
    wchar_t arguments[MAX_PATH] = L"";
    ASSERT_EQ(link.Get()->GetArguments(arguments, MAX_PATH), S_OK);
    EXPECT_STREQ(arguments, L"/start");
    // No working folder was set, and none is made up.
    wchar_t folder[MAX_PATH] = L"?";
    ASSERT_EQ(link.Get()->GetWorkingDirectory(folder, MAX_PATH), S_OK);
    EXPECT_STREQ(folder, L"");
    CItemIDList list;
    link.GetIDListOrThrow(list);
    std::wstring back;
    list.GetPathOrThrow(back);
    EXPECT_EQ(back, target);
    GetShortcutTarget(back, path);
    EXPECT_EQ(back, target);
}

TEST(ShellLinks, FailuresCarryTheirMessages)
{
    CTempFolder temp;
    const std::wstring target = temp.WriteFile(L"Fernhollow.exe", "MZ");
    CShellLink empty; // no link object
    EXPECT_EQ(FailureOf([&] { empty.SetPathOrThrow(target); }), UINT(IDS_SHORTCUT_SET_PATH_FAILED));
    EXPECT_EQ(FailureOf([&] { empty.Load((temp / L"none.lnk").c_str()); }), UINT(IDS_READ_FILE_FAILED));
    EXPECT_EQ(FailureOf([&] { CreateShellLink(temp / L"no\\such.lnk", target, L"/start"); }),
              UINT(IDS_WRITE_FILE_FAILED));

    // A target that does not exist is the shell's to judge (S_OK on Windows, S_FALSE on Wine).
    CShellLink link;
    link.Create();
    EXPECT_TRUE(SUCCEEDED(link.SetPath(temp / L"missing.exe")));
}

TEST(CheckedIntCast, PassesWhatFitsAnIntAndRefusesTheRest)
{
    EXPECT_EQ(CheckedIntCast(0x7FFFFFFF), 0x7FFFFFFF);
    try {
        CheckedIntCast(0x80000000u);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CAST_ERROR));
        EXPECT_NE(e.m_message.find(L"2147483648"), std::wstring::npos) << e.m_message;
    }
}

} // namespace
