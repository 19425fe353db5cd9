#pragma once
// Shortcut files through IShellLinkW and IPersistFile.
#include "shell/ItemIDList.h"

#include <ComPtr.h>

#include <windows.h>

#include <shlobj.h>

#include <string>

class CShellLink {
public:
    CShellLink() = default;
    CShellLink(const CShellLink&) = delete;
    CShellLink& operator=(const CShellLink&) = delete;

    void Create();
    // Creates the link object, reads the file and resolves it without any user interface.
    void Load(const wchar_t* path);
    void Save(const std::wstring& path);

    HRESULT GetPath(std::wstring& path);
    void GetPathOrThrow(std::wstring& path);
    HRESULT SetPath(const std::wstring& path);
    void SetPathOrThrow(const std::wstring& path);
    HRESULT SetArguments(const std::wstring& arguments);
    void SetArgumentsOrThrow(const std::wstring& arguments);
    HRESULT GetIDList(CItemIDList& list);
    void GetIDListOrThrow(CItemIDList& list);
    HRESULT SetIDList(PCIDLIST_ABSOLUTE list);
    void SetIDListOrThrow(PCIDLIST_ABSOLUTE list);

    IShellLinkW* Get() const { return m_link; }

private:
    ATL::CComPtr<IShellLinkW> m_link;
};

// Writes the shortcut file only when every step succeeded.
void CreateShellLink(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments);
void CreateShortcut(const std::wstring& linkPath, const std::wstring& target);
void GetShortcutTarget(std::wstring& target, const std::wstring& linkPath);
