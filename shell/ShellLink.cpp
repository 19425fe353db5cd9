#include "shell/ShellLink.h"

#include "foundation/Exception.h"
#include "ids/shellops.h"

namespace {

const wchar_t kShellLinkName[] = L"CLSID_ShellLink";

// A missing link object answers E_HANDLE, as a closed handle would.
HRESULT NoLinkObject() { return HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE); }

ATL::CComQIPtr<IPersistFile> PersistFileOrThrow(IShellLinkW* link)
{
    ATL::CComQIPtr<IPersistFile> file(link);
    if (!file) throw my::CException(IDS_COM_OBJECT_CAST_FAILED, std::wstring(L"IShellLink -> IPersistFile"));
    return file;
}

} // namespace

void CShellLink::Create()
{
    m_link.Release();
    const HRESULT hr = m_link.CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_ALL);
    if (FAILED(hr)) ThrowComObjectError(hr, kShellLinkName);
}

void CShellLink::Load(const wchar_t* path)
{
    Create();
    ATL::CComQIPtr<IPersistFile> file = PersistFileOrThrow(m_link);
    HRESULT hr = file->Load(path, STGM_READ);
    if (FAILED(hr)) throw my::CException(IDS_READ_FILE_FAILED, hr, std::wstring(path));
    hr = m_link->Resolve(nullptr, SLR_NO_UI | SLR_NOSEARCH);
    if (FAILED(hr)) throw my::CException(IDS_SHORTCUT_RESOLVE_FAILED, hr, std::wstring(path));
}

void CShellLink::Save(const std::wstring& path)
{
    if (!m_link) throw my::CException(IDS_COM_OBJECT_NOT_CREATED, std::wstring(kShellLinkName));
    ATL::CComQIPtr<IPersistFile> file = PersistFileOrThrow(m_link);
    const HRESULT hr = file->Save(path.c_str(), TRUE);
    if (FAILED(hr)) throw my::CException(IDS_WRITE_FILE_FAILED, hr, path);
}

HRESULT CShellLink::GetPath(std::wstring& path)
{
    if (!m_link) return NoLinkObject();
    wchar_t buffer[MAX_PATH + 1] = L"";
    const HRESULT hr = m_link->GetPath(buffer, MAX_PATH + 1, nullptr, 0);
    if (SUCCEEDED(hr)) path = buffer;
    return hr;
}

void CShellLink::GetPathOrThrow(std::wstring& path)
{
    const HRESULT hr = GetPath(path);
    if (FAILED(hr)) throw my::CException(IDS_SHORTCUT_GET_PATH_FAILED, hr);
}

HRESULT CShellLink::SetPath(const std::wstring& path)
{
    return m_link ? m_link->SetPath(path.c_str()) : NoLinkObject();
}

void CShellLink::SetPathOrThrow(const std::wstring& path)
{
    const HRESULT hr = SetPath(path);
    if (FAILED(hr)) throw my::CException(IDS_SHORTCUT_SET_PATH_FAILED, hr);
}

HRESULT CShellLink::SetArguments(const std::wstring& arguments)
{
    return m_link ? m_link->SetArguments(arguments.c_str()) : NoLinkObject();
}

void CShellLink::SetArgumentsOrThrow(const std::wstring& arguments)
{
    const HRESULT hr = SetArguments(arguments);
    if (FAILED(hr)) throw my::CException(IDS_SHORTCUT_SET_ARGUMENTS_FAILED, hr);
}

HRESULT CShellLink::GetIDList(CItemIDList& list)
{
    if (!m_link) return NoLinkObject();
    LPITEMIDLIST pidl = nullptr;
    const HRESULT hr = m_link->GetIDList(&pidl);
    if (SUCCEEDED(hr)) list.Attach(pidl);
    return hr;
}

void CShellLink::GetIDListOrThrow(CItemIDList& list)
{
    const HRESULT hr = GetIDList(list);
    if (FAILED(hr)) throw my::CException(IDS_SHORTCUT_GET_IDLIST_FAILED, hr);
}

HRESULT CShellLink::SetIDList(PCIDLIST_ABSOLUTE list) { return m_link ? m_link->SetIDList(list) : NoLinkObject(); }

void CShellLink::SetIDListOrThrow(PCIDLIST_ABSOLUTE list)
{
    const HRESULT hr = SetIDList(list);
    if (FAILED(hr)) throw my::CException(IDS_SHORTCUT_SET_IDLIST_FAILED, hr);
}

void CreateShellLink(const std::wstring& linkPath, const std::wstring& target, const std::wstring& arguments)
{
    CShellLink link;
    link.Create();
    link.SetPathOrThrow(target);
    link.SetArgumentsOrThrow(arguments);
    link.Save(linkPath);
}

void CreateShortcut(const std::wstring& linkPath, const std::wstring& target)
{
    CShellLink link;
    link.Create();
    link.SetPathOrThrow(target);
    link.Save(linkPath);
}

void GetShortcutTarget(std::wstring& target, const std::wstring& linkPath)
{
    CShellLink link;
    link.Load(linkPath.c_str());
    link.GetPathOrThrow(target);
}
