#include "foundation/AppInfo.h"
#include "tests/support/RemoveFolderTree.h"
#include "foundation/Exception.h"
#include "foundation/PlatformPaths.h"
#include "foundation/ResString.h"
#include "foundation/VersionResource.h"
#include "resource.h"

#include <objbase.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <random>

namespace {

const wchar_t kGuid[] = L"85FB8528-27C6-4279-B9CB-0DF8C9DDD18E";
const wchar_t kShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

std::wstring AppDataBySystem()
{
    wchar_t path[MAX_PATH] = {};
    if (FAILED(::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path))) return L"";
    return path;
}

// A private folder under the temporary folder, removed with everything in it afterwards.
class CPrivateFolder {
public:
    CPrivateFolder()
    {
        wchar_t temp[MAX_PATH] = {};
        ::GetTempPathW(MAX_PATH, temp);
        std::mt19937 rng(::GetTickCount());
        m_path = std::wstring(temp) + L"fh-appinfo-" + std::to_wstring(rng() % 1000000);
        ::CreateDirectoryW(m_path.c_str(), nullptr);
    }
    ~CPrivateFolder() { Remove(m_path); }
    const std::wstring& Path() const { return m_path; }

    static void Remove(const std::wstring& path) { RemoveFolderTree(path); }

private:
    std::wstring m_path;
};

// Points the user's application-data folder somewhere else for the life of the object.
class CAppDataOverride {
public:
    explicit CAppDataOverride(const std::wstring& folder)
    {
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kShellFolders, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, &m_key) !=
            ERROR_SUCCESS)
            return;
        DWORD size = sizeof(m_saved);
        m_hadValue = ::RegQueryValueExW(m_key, L"AppData", nullptr, &m_type, reinterpret_cast<BYTE*>(m_saved),
                                        &size) == ERROR_SUCCESS;
        m_savedSize = size;
        m_active = ::RegSetValueExW(m_key, L"AppData", 0, REG_EXPAND_SZ,
                                    reinterpret_cast<const BYTE*>(folder.c_str()),
                                    static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    ~CAppDataOverride()
    {
        if (!m_key) return;
        if (m_hadValue)
            ::RegSetValueExW(m_key, L"AppData", 0, m_type, reinterpret_cast<const BYTE*>(m_saved), m_savedSize);
        else
            ::RegDeleteValueW(m_key, L"AppData");
        ::RegCloseKey(m_key);
    }
    bool Active() const { return m_active; }

private:
    HKEY m_key = nullptr;
    bool m_hadValue = false;
    bool m_active = false;
    DWORD m_type = REG_EXPAND_SZ;
    DWORD m_savedSize = 0;
    wchar_t m_saved[1024] = {};
};

} // namespace

TEST(AppInfo, StartsEmpty)
{
    CAppInfo info;
    EXPECT_FALSE(info.IsInitialized());
    EXPECT_TRUE(info.GetMaker().empty());
    EXPECT_TRUE(info.GetDataFolder().empty());
    EXPECT_EQ(info.GetLargeIcon(), nullptr);
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(info.GetVersionPart(i), 0);
    EXPECT_EQ(info.GetCriticalSection().GetName(), L"AppInfo");
    EXPECT_EQ(g_appInfo.GetCriticalSection().GetName(), L"AppInfo");
    EXPECT_TRUE(info.GetIdCache(12345).empty());
}

TEST(AppInfo, InitFillsTheRecordFromTheStringTable)
{
    CAppInfo info;
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
    info.SetHomePageId(IDS_HOMEPAGE_URL);
    info.SetGuid(kGuid);

    EXPECT_TRUE(info.IsInitialized());
    EXPECT_EQ(info.GetMaker(), L"Fernhollow Labs");
    EXPECT_EQ(info.GetProduct(), L"Fernhollow");
    EXPECT_EQ(info.GetDisplayName(), L"Fernhollow");
    EXPECT_EQ(info.GetHomePage(), L"https://fernhollow.example/");
    EXPECT_EQ(info.GetGuid(), kGuid);

    // The GUID text is a GUID the system accepts.
    CLSID clsid{};
    EXPECT_EQ(::CLSIDFromString((L"{" + std::wstring(kGuid) + L"}").c_str(), &clsid), S_OK);

    // Version and legal notice are the program's own version resource.
    wchar_t self[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    CFileVersionInfo version;
    version.Load(self);
    EXPECT_EQ(info.GetLegalNotice(), version.GetLegalNotice());
    const std::wstring text =
        FormatVersionWords(info.GetVersionPart(0), info.GetVersionPart(1), info.GetVersionPart(2),
                           info.GetVersionPart(3), L".");
    EXPECT_EQ(text, version.GetProductVersion());
    std::wstring line;
    info.GetDisplayNameAndVersion(line);
    EXPECT_EQ(line, L"Fernhollow  " + version.GetProductVersion());

    // Icons in the two system sizes.
    const struct {
        HICON icon;
        int cx;
    } icons[] = {{info.GetLargeIcon(), SM_CXICON}, {info.GetSmallIcon(), SM_CXSMICON}};
    for (const auto& i : icons) {
        ASSERT_NE(i.icon, nullptr);
        ICONINFO iconInfo{};
        ASSERT_TRUE(::GetIconInfo(i.icon, &iconInfo));
        BITMAP bitmap{};
        ::GetObjectW(iconInfo.hbmColor ? iconInfo.hbmColor : iconInfo.hbmMask, sizeof(bitmap), &bitmap);
        EXPECT_EQ(bitmap.bmWidth, ::GetSystemMetrics(i.cx));
        if (iconInfo.hbmColor) ::DeleteObject(iconInfo.hbmColor);
        if (iconInfo.hbmMask) ::DeleteObject(iconInfo.hbmMask);
    }
}

TEST(AppInfo, DataFolderAndSettingsFile)
{
    CAppInfo info;
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
    const std::wstring appData = AppDataBySystem();
    ASSERT_FALSE(appData.empty());
    EXPECT_EQ(info.GetDataFolder(), appData + L"\\Fernhollow Labs\\Fernhollow");
    EXPECT_EQ(info.GetConfigFilePath(), L"Fernhollow32.config");
    EXPECT_EQ(info.GetConfigFileFullPath(), appData + L"\\Fernhollow Labs\\Fernhollow\\Fernhollow32.config");
    EXPECT_EQ(info.GetDataFilePath(L"Other"), appData + L"\\Fernhollow Labs\\Fernhollow\\Other32.config");
    std::wstring folder;
    EXPECT_TRUE(CAppInfo::GetAppDataFolder(folder));
    EXPECT_EQ(folder, appData);
}

TEST(AppInfo, DataFolderUnderAPrivateApplicationDataFolder)
{
    CPrivateFolder root;
    {
        CAppDataOverride redirect(root.Path());
        ASSERT_TRUE(redirect.Active());
        std::wstring folder;
        ASSERT_TRUE(CAppInfo::GetAppDataFolder(folder));
        if (folder != root.Path()) GTEST_SKIP() << "the shell does not follow the redirected folder: " << folder.size();

        CAppInfo info;
        info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
        const std::wstring expected = root.Path() + L"\\Fernhollow Labs\\Fernhollow";
        EXPECT_EQ(info.GetDataFolder(), expected);
        EXPECT_FALSE(PathExists(expected)) << "Init creates no folder below the application-data folder";

        ASSERT_TRUE(CreateFolderTree(info.GetConfigFileFullPath()));
        EXPECT_TRUE(PathExists(expected));
        HANDLE file = ::CreateFileW(info.GetConfigFileFullPath().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        ::CloseHandle(file);
        EXPECT_TRUE(IsExistingFile(root.Path() + L"\\Fernhollow Labs\\Fernhollow\\Fernhollow32.config"));
    }
    const std::wstring path = root.Path();
    CPrivateFolder::Remove(path);
    EXPECT_FALSE(PathExists(path));
    EXPECT_EQ(AppDataBySystem().find(path), std::wstring::npos) << "the redirection is undone";
}

TEST(AppInfo, NoApplicationDataFolderGivesNoDataPaths)
{
    EXPECT_EQ(MakeDataFolder(L"", L"Fernhollow Labs", L"Fernhollow"), L"");
    EXPECT_EQ(MakeDataFolder(L"C:\\AppData\\", L"M", L"P"), L"C:\\AppData\\M\\P");
    CAppInfo info;
    info.Init(L"Fernhollow Labs", L"Fernhollow", L"Fernhollow");
    EXPECT_TRUE(info.GetDataFolder().empty());
    EXPECT_EQ(info.GetConfigFilePath(), L"Fernhollow32.config");
    EXPECT_TRUE(info.GetConfigFileFullPath().empty());
}

TEST(AppInfo, SecondInitChangesNothing)
{
    CAppInfo info;
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
    const std::wstring folder = info.GetDataFolder();
    const HICON icon = info.GetLargeIcon();
    info.Init(IDS_HOMEPAGE_URL, IDS_USAGE_URL, IDS_HOMEPAGE_URL, 1);
    EXPECT_EQ(info.GetMaker(), L"Fernhollow Labs");
    EXPECT_EQ(info.GetProduct(), L"Fernhollow");
    EXPECT_EQ(info.GetDisplayName(), L"Fernhollow");
    EXPECT_EQ(info.GetDataFolder(), folder);
    EXPECT_EQ(info.GetLargeIcon(), icon);
}

TEST(AppInfo, FailedInitLeavesTheRecordEmptyAndCanBeRepeated)
{
    CAppInfo info;
    EXPECT_THROW(info.Init(IDS_MAKER_NAME, 9, IDS_DISPLAY_NAME, IDR_MAINFRAME), my::CException);
    EXPECT_FALSE(info.IsInitialized());
    EXPECT_TRUE(info.GetMaker().empty());
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDR_MAINFRAME);
    EXPECT_EQ(info.GetProduct(), L"Fernhollow");
    EXPECT_THROW(info.SetHomePageId(9), my::CException);
}

TEST(AppInfo, MissingIconStaysNull)
{
    CAppInfo info;
    info.Init(IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, 4321);
    EXPECT_EQ(info.GetLargeIcon(), nullptr);
    EXPECT_EQ(info.GetSmallIcon(), nullptr);
    EXPECT_EQ(info.GetMaker(), L"Fernhollow Labs");
}

TEST(AppInfo, VersionLineAndWords)
{
    EXPECT_EQ(FormatVersionWords(1, 0, 2, 0, L"."), L"1.0.2.0");
    EXPECT_EQ(FormatVersionWords(65535, 10, 0, 7, L", "), L"65535, 10, 0, 7");
    CAppInfo info;
    info.Init(L"M", L"P", L"Display");
    std::wstring line;
    info.GetDisplayNameAndVersion(line);
    EXPECT_EQ(line, L"Display  0.0.0.0");
}

TEST(AppInfo, StringCache)
{
    CAppInfo info;
    EXPECT_TRUE(info.GetIdCache(IDS_PRODUCT_NAME).empty());
    info.CacheString(IDS_PRODUCT_NAME);
    EXPECT_EQ(info.GetIdCache(IDS_PRODUCT_NAME), LoadResString(IDS_PRODUCT_NAME));
    info.CacheString(IDS_PRODUCT_NAME);
    EXPECT_EQ(info.GetIdCache(IDS_PRODUCT_NAME), L"Fernhollow");
    EXPECT_THROW(info.CacheString(9), my::CException);
    EXPECT_TRUE(info.GetIdCache(9).empty());
    EXPECT_EQ(&info.GetIdCache(1), &info.GetIdCache(2)) << "one shared empty text";
}

TEST(AppInfo, ModuleFilePath)
{
    std::wstring path = L"old";
    GetModuleFilePath(path);
    wchar_t self[MAX_PATH] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(path, std::wstring(self, n));
    EXPECT_TRUE(IsExistingFile(path));
}

TEST(AppInfo, ApplicationTextsLoadInEitherLanguage)
{
    const UINT ids[] = {IDS_MAKER_NAME, IDS_PRODUCT_NAME, IDS_DISPLAY_NAME, IDS_HOMEPAGE_URL};
    for (UINT id : ids) EXPECT_FALSE(LoadResString(id).empty()) << id;
}
