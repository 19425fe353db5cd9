#include "shell/ShellLink.h"

#include "ids/foundation.h"
#include "ids/shellops.h"
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
    // A shortcut that cannot be read is 58997 with the system's reason and the path.
    for (const std::wstring& broken : {temp / L"none.lnk", temp.WriteFile(L"junk.lnk", std::string(300, 'j'))}) {
        const my::CException e = CaughtOf([&] { link.Load(broken.c_str()); });
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_READ_FILE_FAILED)) << e.m_message;
        EXPECT_TRUE(FAILED(static_cast<HRESULT>(e.m_code))) << std::hex << e.m_code;
        EXPECT_NE(e.m_message.find(broken), std::wstring::npos) << e.m_message;
    }
}

TEST(CheckedIntCast, PassesWhatFitsAnIntAndRefusesTheRest)
{
    EXPECT_EQ(CheckedIntCast(0x7FFFFFFF), 0x7FFFFFFF);
    const my::CException e = CaughtOf([] { CheckedIntCast(0x80000000u); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CAST_ERROR));
    EXPECT_NE(e.m_message.find(L"2147483648"), std::wstring::npos) << e.m_message;
}

} // namespace
