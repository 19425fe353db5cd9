#pragma once
// The process-wide record of who the application is: names, GUID, home page, data folder,
// icons, and the version and legal notice of the program's own version resource.
#include "foundation/CriticalSection.h"

#include <windows.h>

#include <map>
#include <string>

class CAppInfo {
public:
    CAppInfo();
    ~CAppInfo();
    CAppInfo(const CAppInfo&) = delete;
    CAppInfo& operator=(const CAppInfo&) = delete;

    void Init(UINT makerId, UINT productId, UINT displayNameId, UINT iconId);
    void Init(const std::wstring& maker, const std::wstring& product, const std::wstring& displayName);
    void SetHomePageId(UINT id);
    void SetGuid(const std::wstring& guid) { m_guid = guid; }

    bool IsInitialized() const { return m_initialized; }
    const std::wstring& GetMaker() const { return m_maker; }
    const std::wstring& GetProduct() const { return m_product; }
    const std::wstring& GetDisplayName() const { return m_displayName; }
    const std::wstring& GetHomePage() const { return m_homePage; }
    const std::wstring& GetGuid() const { return m_guid; }
    HICON GetLargeIcon() const { return m_largeIcon; }
    HICON GetSmallIcon() const { return m_smallIcon; }
    WORD GetVersionPart(size_t index) const { return index < 4 ? m_version[index] : 0; }
    const std::wstring& GetDataFolder() const { return m_dataFolder; }
    const std::wstring& GetLegalNotice() const { return m_legalNotice; }
    CAutoCriticalSection& GetCriticalSection() { return m_section; }

    void GetDisplayNameAndVersion(std::wstring& out) const;
    std::wstring GetConfigFilePath() const;
    std::wstring GetConfigFileFullPath() const;
    std::wstring GetDataFilePath(const std::wstring& name) const;
    static bool GetAppDataFolder(std::wstring& path);

    void CacheString(int id);
    const std::wstring& GetIdCache(int id) const;

private:
    CAutoCriticalSection m_section;
    bool m_initialized = false;
    std::wstring m_maker;
    std::wstring m_product;
    std::wstring m_displayName;
    std::wstring m_homePage;
    std::wstring m_guid;
    HICON m_largeIcon = nullptr;
    HICON m_smallIcon = nullptr;
    WORD m_version[4] = {};
    std::wstring m_dataFolder;
    std::wstring m_legalNotice;
    std::map<int, std::wstring> m_idCache;
};

extern CAppInfo g_appInfo;

std::wstring FormatVersionWords(WORD major, WORD minor, WORD build, WORD revision, const std::wstring& separator);

// The application-data folder, then the maker's folder, then the product's; empty when there is
// no application-data folder.
std::wstring MakeDataFolder(const std::wstring& appDataFolder, const std::wstring& maker, const std::wstring& product);

void GetModuleFilePath(std::wstring& out);
