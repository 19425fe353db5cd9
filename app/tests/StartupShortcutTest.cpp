#include "app/CommandStartup.h"
#include "foundation/AppInfo.h"
#include "resource.h"
#include "shell/ShellLink.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

namespace {
class StartupShortcut : public testing::Test {
protected:
    void SetUp() override
    {
        if (!g_appInfo.IsInitialized()) g_appInfo.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
        fhw::GetStartupShortcutPath(m_path);
        ::DeleteFileW(m_path.c_str());
    }
    void TearDown() override { ::DeleteFileW(m_path.c_str()); }
    std::wstring m_path;
};
} // namespace

TEST_F(StartupShortcut, TogglesAShortcutNamedAfterTheProgramWithStart)
{
    EXPECT_EQ(m_path.substr(m_path.size() - 15), L"\\Fernhollow.lnk");
    EXPECT_FALSE(fhw::CCommandRegistStartup::IsRegistered());

    fhw::CCommandRegistStartup command;
    command.ExecuteImpl(true);
    ASSERT_TRUE(fhw::CCommandRegistStartup::IsRegistered());
    CShellLink link;
    link.Load(m_path.c_str());
    std::wstring target;
    link.GetPathOrThrow(target);
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(_wcsicmp(target.c_str(), self), 0) << target;
    wchar_t arguments[MAX_PATH] = L"";
    link.Get()->GetArguments(arguments, MAX_PATH);
    EXPECT_STREQ(arguments, L"/start");

    command.ExecuteImpl(true);
    EXPECT_FALSE(fhw::CCommandRegistStartup::IsRegistered());
    EXPECT_FALSE(::PathFileExistsW(m_path.c_str()));
}

TEST_F(StartupShortcut, AHandMadeShortcutCountsAndIsRemovedByTheNextToggle)
{
    CTempFolder temp;
    CreateShellLink(m_path, temp.WriteFile(L"other.exe", "MZ"), L"");
    EXPECT_TRUE(fhw::CCommandRegistStartup::IsRegistered());
    fhw::CCommandRegistStartup command;
    command.ExecuteImpl(true);
    EXPECT_FALSE(::PathFileExistsW(m_path.c_str()));
    command.ExecuteImpl(false);
    EXPECT_FALSE(::PathFileExistsW(m_path.c_str())) << "a test run changes nothing";
}
