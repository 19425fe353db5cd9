#include "foundation/AppInfo.h"
#include "foundation/Exception.h"
#include "resource.h"

#include <shlobj.h>

#include <gtest/gtest.h>

TEST(AppInfo, InitFillsTheRecordFromResourcesAndTheDataFolder)
{
    CAppInfo info;
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);

    wchar_t appDataBySystem[MAX_PATH] = {};
    ASSERT_EQ(S_OK, ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, appDataBySystem));
    const std::wstring appData = appDataBySystem;
    EXPECT_EQ(info.GetDataFolder(), appData + L"\\Fernhollow Labs\\Fernhollow");
    EXPECT_EQ(info.GetConfigFileFullPath(), appData + L"\\Fernhollow Labs\\Fernhollow\\Fernhollow32.config");

    // Without an application-data folder there is no data path, not a bare name in the current folder.
    EXPECT_EQ(MakeDataFolder(L"", L"Fernhollow Labs", L"Fernhollow"), L"");
    CAppInfo bare;
    bare.Init(L"Fernhollow Labs", L"Fernhollow", L"Fernhollow");
    EXPECT_TRUE(bare.GetConfigFileFullPath().empty());
}

TEST(AppInfo, FailedInitLeavesTheRecordEmptyForALaterOne)
{
    CAppInfo info;
    EXPECT_THROW(info.Init(IDS_MAKER_NAME, 9, IDS_DISPLAY_NAME, IDR_MAINFRAME), my::CException);
    EXPECT_FALSE(info.IsInitialized());
    EXPECT_TRUE(info.GetMaker().empty());
    // A missing icon is no failure.
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, 4321);
    EXPECT_EQ(info.GetMaker(), L"Fernhollow Labs");
    EXPECT_EQ(info.GetLargeIcon(), nullptr);
    EXPECT_THROW(info.SetHomePageId(9), my::CException);
}
