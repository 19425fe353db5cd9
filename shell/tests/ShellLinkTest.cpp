#include "shell/ShellLink.h"

#include "ids/foundation.h"
#include "shell/CheckedIntCast.h"
#include "shell/tests/ShellTestSupport.h"

namespace {

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
    std::wstring back;
    GetShortcutTarget(back, path);
    EXPECT_EQ(back, target);

    // A target that does not exist is the shell's to judge: S_OK on Windows, S_FALSE on Wine.
    EXPECT_TRUE(SUCCEEDED(link.SetPath(temp / L"missing.exe")));
    EXPECT_THROW(link.Load((temp / L"none.lnk").c_str()), my::CException);
}

TEST(CheckedIntCast, PassesWhatFitsAnIntAndRefusesTheRest)
{
    EXPECT_EQ(CheckedIntCast(0x7FFFFFFF), 0x7FFFFFFF);
    const my::CException e = CaughtOf([] { CheckedIntCast(0x80000000u); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CAST_ERROR));
    EXPECT_NE(e.m_message.find(L"2147483648"), std::wstring::npos) << e.m_message;
}

} // namespace
