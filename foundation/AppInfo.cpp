#include "foundation/AppInfo.h"

#include "foundation/PathHelpers.h"
#include "foundation/ResString.h"
#include "foundation/VersionResource.h"

#include <shlobj.h>

CAppInfo g_appInfo;

CAppInfo::CAppInfo() : m_section(L"AppInfo") {}

CAppInfo::~CAppInfo()
{
    m_idCache.clear();
    if (m_largeIcon) ::DestroyIcon(m_largeIcon);
    if (m_smallIcon) ::DestroyIcon(m_smallIcon);
}

// Everything is gathered first and stored only when every step succeeded, so a failed call leaves
// the record empty and a later call can still fill it.
void CAppInfo::Init(UINT makerId, UINT productId, UINT displayNameId, UINT iconId)
{
    if (m_initialized) return;
    std::wstring maker, product, displayName;
    LoadResString(maker, makerId);
    LoadResString(product, productId);
    LoadResString(displayName, displayNameId);

    std::wstring appData;
    GetAppDataFolder(appData);
    std::wstring dataFolder = MakeDataFolder(appData, maker, product);

    std::wstring modulePath;
    GetModuleFilePath(modulePath);
    CFileVersionInfo versionInfo;
    versionInfo.Load(modulePath);
    WORD version[4] = {};
    versionInfo.GetVersionQuad(version);
    std::wstring legalNotice = versionInfo.GetLegalNotice();

    const HINSTANCE module = GetResourceInstance();
    const auto load = [&](int cx, int cy) {
        return static_cast<HICON>(::LoadImageW(module, MAKEINTRESOURCEW(iconId), IMAGE_ICON, ::GetSystemMetrics(cx),
                                               ::GetSystemMetrics(cy), LR_DEFAULTCOLOR));
    };

    m_maker.swap(maker);
    m_product.swap(product);
    m_displayName.swap(displayName);
    m_dataFolder.swap(dataFolder);
    m_largeIcon = load(SM_CXICON, SM_CYICON);
    m_smallIcon = load(SM_CXSMICON, SM_CYSMICON);
    for (size_t i = 0; i < 4; ++i) m_version[i] = version[i];
    m_legalNotice.swap(legalNotice);
    m_initialized = true;
}

void CAppInfo::Init(const std::wstring& maker, const std::wstring& product, const std::wstring& displayName)
{
    m_initialized = true;
    m_maker = maker;
    m_product = product;
    m_displayName = displayName;
}

void CAppInfo::SetHomePageId(UINT id)
{
    std::wstring text;
    LoadResString(text, id);
    m_homePage.swap(text);
}

void CAppInfo::GetDisplayNameAndVersion(std::wstring& out) const
{
    out = m_displayName + L"  " + FormatVersionWords(m_version[0], m_version[1], m_version[2], m_version[3], L".");
}

std::wstring CAppInfo::GetConfigFilePath() const { return m_product + L"32.config"; }

std::wstring CAppInfo::GetConfigFileFullPath() const { return GetDataFilePath(m_product); }

// Without a data folder there is no path: a bare name would land in the current folder.
std::wstring CAppInfo::GetDataFilePath(const std::wstring& name) const
{
    if (m_dataFolder.empty()) return std::wstring();
    std::wstring path = m_dataFolder;
    AppendPath(path, name + L"32.config");
    return path;
}

bool CAppInfo::GetAppDataFolder(std::wstring& path)
{
    wchar_t buffer[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, TRUE)) return false;
    path = buffer;
    return true;
}

void CAppInfo::CacheString(int id)
{
    std::wstring text;
    LoadResString(text, static_cast<UINT>(id));
    m_idCache[id].swap(text);
}

const std::wstring& CAppInfo::GetIdCache(int id) const
{
    static const std::wstring empty;
    const auto found = m_idCache.find(id);
    return found == m_idCache.end() ? empty : found->second;
}

std::wstring FormatVersionWords(WORD major, WORD minor, WORD build, WORD revision, const std::wstring& separator)
{
    return std::to_wstring(major) + separator + std::to_wstring(minor) + separator + std::to_wstring(build) +
           separator + std::to_wstring(revision);
}

std::wstring MakeDataFolder(const std::wstring& appDataFolder, const std::wstring& maker, const std::wstring& product)
{
    if (appDataFolder.empty()) return std::wstring();
    std::wstring folder = appDataFolder;
    AppendPath(folder, maker);
    AppendPath(folder, product);
    return folder;
}

// Grows the buffer instead of taking a path cut at MAX_PATH.
void GetModuleFilePath(std::wstring& out)
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (n < path.size() || path.size() >= 32768) {
            path.resize(n < path.size() ? n : 0);
            break;
        }
        path.resize(path.size() * 2);
    }
    out.swap(path);
}
