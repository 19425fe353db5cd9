#include "shell/ShellFolder.h"

#include "foundation/Exception.h"
#include "ids/shellfolders.h"
#include "shell/CoTaskMemText.h"

#include <oleidl.h>

#include <cstring>

namespace {

// A batch of children per IEnumIDList::Next; a call that keeps failing ends the search after a
// few tries instead of asking again for ever.
const ULONG kBatch = 32;
const int kFailedNextLimit = 3;

} // namespace

HRESULT CShellFolder::Take(IShellFolder* folder)
{
    m_folder.Attach(folder);
    return folder ? S_OK : E_FAIL;
}

HRESULT CShellFolder::BindToDesktop()
{
    m_folder.Release();
    IShellFolder* desktop = nullptr;
    const HRESULT hr = ::SHGetDesktopFolder(&desktop);
    if (FAILED(hr)) return hr;
    return Take(desktop);
}

void CShellFolder::BindToDesktopOrThrow() { ThrowIfFailed(BindToDesktop(), IDS_DESKTOP_FOLDER_FAILED); }

HRESULT CShellFolder::BindToParent(LPCITEMIDLIST pidl, PCUITEMID_CHILD* child)
{
    m_folder.Release();
    if (!pidl) return E_INVALIDARG;
    IShellFolder* parent = nullptr;
    LPCITEMIDLIST last = nullptr;
    const HRESULT hr = ::SHBindToParent(pidl, IID_IShellFolder, reinterpret_cast<void**>(&parent), &last);
    if (FAILED(hr)) return hr;
    if (child) *child = last;
    return Take(parent);
}

void CShellFolder::BindToParentOrThrow(LPCITEMIDLIST pidl, PCUITEMID_CHILD* child)
{
    ThrowIfFailed(BindToParent(pidl, child), IDS_SHELL_FOLDER_FAILED);
}

HRESULT CShellFolder::BindTo(const CItemIDListHandle& pidl)
{
    HRESULT hr = BindToDesktop();
    if (FAILED(hr) || pidl.IsNull() || pidl.IsEmpty()) return hr;
    IShellFolder* folder = nullptr;
    hr = m_folder->BindToObject(pidl.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&folder));
    m_folder.Release();
    if (FAILED(hr)) return hr;
    return Take(folder);
}

void CShellFolder::BindToOrThrow(const CItemIDListHandle& pidl)
{
    ThrowIfFailed(BindTo(pidl), IDS_SHELL_FOLDER_FAILED);
}

HRESULT CShellFolder::BindToStepwise(const CItemIDListHandle& pidl)
{
    HRESULT hr = BindToDesktop();
    if (FAILED(hr) || pidl.IsNull()) return hr;
    for (LPCITEMIDLIST item = pidl.Get(); item->mkid.cb; item = CItemIDListHandle::GetNextItem(item)) {
        const CItemIDList record = CopyFirstRecord(item);
        if (record.IsNull()) hr = E_OUTOFMEMORY;
        IShellFolder* next = nullptr;
        if (SUCCEEDED(hr)) {
            hr = m_folder->BindToObject(record.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&next));
        }
        m_folder.Release();
        if (FAILED(hr)) return hr;
        hr = Take(next);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

int CShellFolder::CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) const
{
    const bool empty1 = !pidl1 || pidl1->mkid.cb == 0, empty2 = !pidl2 || pidl2->mkid.cb == 0;
    if (empty1 && !empty2) return -1;
    if (!empty1 && empty2) return 1;
    if (!m_folder) return -2;
    const HRESULT hr = m_folder->CompareIDs(lParam, pidl1, pidl2);
    if (FAILED(hr)) return -2;
    const short order = static_cast<short>(HRESULT_CODE(hr));
    return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

HRESULT CShellFolder::GetAttributesOf(std::span<const PCUITEMID_CHILD> items, SFGAOF& inOut) const
{
    if (!m_folder) return E_HANDLE;
    return m_folder->GetAttributesOf(static_cast<UINT>(items.size()), const_cast<LPCITEMIDLIST*>(items.data()), &inOut);
}

HRESULT CShellFolder::GetAttributesOf(PCUITEMID_CHILD item, SFGAOF& inOut) const
{
    return GetAttributesOf(std::span<const PCUITEMID_CHILD>(&item, 1), inOut);
}

void CShellFolder::GetAttributesOfOrThrow(std::span<const PCUITEMID_CHILD> items, SFGAOF& inOut) const
{
    ThrowIfFailed(GetAttributesOf(items, inOut), IDS_SHELL_ATTRIBUTES_FAILED);
}

void CShellFolder::GetAttributesOfOrThrow(PCUITEMID_CHILD item, SFGAOF& inOut) const
{
    ThrowIfFailed(GetAttributesOf(item, inOut), IDS_SHELL_ATTRIBUTES_FAILED);
}

HRESULT CShellFolder::GetAllowedEffects(std::span<const PCUITEMID_CHILD> items, DWORD& effects) const
{
    effects = 0;
    SFGAOF attributes = SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK;
    const HRESULT hr = GetAttributesOf(items, attributes);
    if (FAILED(hr)) return hr;
    if (attributes & SFGAO_CANCOPY) effects |= DROPEFFECT_COPY;
    if (attributes & SFGAO_CANMOVE) effects |= DROPEFFECT_MOVE;
    if (attributes & SFGAO_CANLINK) effects |= DROPEFFECT_LINK;
    return hr;
}

HRESULT CShellFolder::GetAllowedEffects(PCUITEMID_CHILD item, DWORD& effects) const
{
    return GetAllowedEffects(std::span<const PCUITEMID_CHILD>(&item, 1), effects);
}

HRESULT CShellFolder::GetDisplayNameOf(PCUITEMID_CHILD child, SHGDNF flags, std::wstring& name) const
{
    name.clear();
    if (!m_folder) return E_HANDLE;
    return CItemIDListHandle::GetDisplayName(m_folder, child, flags, name);
}

HRESULT CShellFolder::ParseDisplayName(const wchar_t* name, IBindCtx* context, PIDLIST_RELATIVE* pidl,
                                       SFGAOF* attributes) const
{
    if (pidl) *pidl = nullptr;
    if (!m_folder) return E_HANDLE;
    if (!name || !pidl) return E_INVALIDARG;
    // The shell's parameter is writable: it gets a copy of its own.
    CCoTaskMemText text;
    if (!text.Copy(name)) return E_OUTOFMEMORY;
    return m_folder->ParseDisplayName(nullptr, context, text.Get(), nullptr, pidl, attributes);
}

HRESULT CShellFolder::SetNameOf(PCUITEMID_CHILD child, const wchar_t* name, PITEMID_CHILD* newChild) const
{
    if (newChild) *newChild = nullptr;
    if (!m_folder) return E_HANDLE;
    return m_folder->SetNameOf(nullptr, child, name, SHGDN_INFOLDER | SHGDN_FOREDITING, newChild);
}

void CShellFolder::SetNameOfOrThrow(PCUITEMID_CHILD child, const wchar_t* name, PITEMID_CHILD* newChild) const
{
    ThrowIfFailed(SetNameOf(child, name, newChild), IDS_SHELL_SET_NAME_FAILED);
}

HRESULT CShellFolder::GetUIObjectOf(std::span<const PCUITEMID_CHILD> items, REFIID iid, void** out) const
{
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!m_folder) return E_HANDLE;
    if (items.empty()) return E_INVALIDARG;
    return m_folder->GetUIObjectOf(nullptr, static_cast<UINT>(items.size()), const_cast<LPCITEMIDLIST*>(items.data()),
                                   iid, nullptr, out);
}

HRESULT CShellFolder::CreateDataObject(std::span<const PCUITEMID_CHILD> items, IDataObject** out) const
{
    return GetUIObjectOf(items, IID_IDataObject, reinterpret_cast<void**>(out));
}

void CShellFolder::CreateDataObjectOrThrow(std::span<const PCUITEMID_CHILD> items, IDataObject** out) const
{
    ThrowIfFailed(CreateDataObject(items, out), IDS_SHELL_DATA_OBJECT_FAILED);
}

HRESULT CShellFolder::GetFindDataOf(PCUITEMID_CHILD child, WIN32_FIND_DATAW& data) const
{
    if (!m_folder) return E_HANDLE;
    ATL::CComQIPtr<IShellFolder2> folder2(m_folder);
    if (!folder2) return S_FALSE;
    // FMTID_ShellDetails, PID_FINDDATA.
    SHCOLUMNID column = {{0x28636AA6, 0x953D, 0x11D2, {0xB5, 0xD6, 0x00, 0xC0, 0x4F, 0xD9, 0x18, 0xD0}}, 0};
    VARIANT value;
    ::VariantInit(&value);
    HRESULT hr = folder2->GetDetailsEx(child, &column, &value);
    if (FAILED(hr)) return hr;
    // Only a byte array that holds a whole record is copied.
    hr = E_UNEXPECTED;
    if (value.vt == (VT_ARRAY | VT_UI1) && value.parray && ::SafeArrayGetDim(value.parray) == 1) {
        LONG lower = 0, upper = -1;
        ::SafeArrayGetLBound(value.parray, 1, &lower);
        ::SafeArrayGetUBound(value.parray, 1, &upper);
        void* bytes = nullptr;
        if (upper - lower + 1 >= static_cast<LONG>(sizeof(data)) &&
            SUCCEEDED(::SafeArrayAccessData(value.parray, &bytes))) {
            std::memcpy(&data, bytes, sizeof(data));
            ::SafeArrayUnaccessData(value.parray);
            hr = S_OK;
        }
    }
    ::VariantClear(&value);
    return hr;
}

HRESULT CShellFolder::GetNamePath(LPCITEMIDLIST pidl, std::wstring& text) const
{
    text.clear();
    if (!m_folder) return E_HANDLE;
    if (!pidl) return E_INVALIDARG;
    ATL::CComPtr<IShellFolder> folder(m_folder);
    for (LPCITEMIDLIST item = pidl; item->mkid.cb; item = CItemIDListHandle::GetNextItem(item)) {
        const CItemIDList record = CopyFirstRecord(item);
        if (record.IsNull()) return E_OUTOFMEMORY;
        std::wstring name;
        HRESULT hr = CItemIDListHandle::GetDisplayName(folder, record.Get(), SHGDN_INFOLDER, name);
        if (FAILED(hr)) return hr;
        if (item != pidl) text += L'\\';
        text += name;
        // The last record may be a file: only a record with a successor is bound.
        if (CItemIDListHandle::GetNextItem(item)->mkid.cb == 0) break;
        ATL::CComPtr<IShellFolder> next;
        hr = folder->BindToObject(record.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&next));
        if (FAILED(hr)) return hr;
        folder = next;
    }
    return S_OK;
}

HRESULT CShellFolder::FindChildByName(const std::wstring& name, CItemIDList& found, SHGDNF flags, HWND window,
                                      SHCONTF contents) const
{
    found.Free();
    if (!m_folder) return E_HANDLE;
    ATL::CComPtr<IEnumIDList> children;
    const HRESULT hr = m_folder->EnumObjects(window, contents, &children);
    if (FAILED(hr)) return hr;
    // S_FALSE with no enumerator: the folder has nothing to show.
    if (!children) return S_FALSE;
    int failures = 0;
    for (;;) {
        LPITEMIDLIST batch[kBatch] = {};
        ULONG fetched = 0;
        const HRESULT next = children->Next(kBatch, batch, &fetched);
        if (FAILED(next) || fetched > kBatch) fetched = 0;
        for (ULONG i = 0; i < fetched; ++i) {
            CItemIDList child(batch[i]);
            std::wstring childName;
            if (found.IsNull() && SUCCEEDED(GetDisplayNameOf(child.Get(), flags, childName)) &&
                ::_wcsicmp(childName.c_str(), name.c_str()) == 0) {
                found.Attach(child.Detach());
            }
        }
        if (!found.IsNull()) return S_OK;
        if (next == S_FALSE) return S_FALSE;
        if (FAILED(next) && ++failures >= kFailedNextLimit) return next;
        if (SUCCEEDED(next) && fetched == 0) return S_FALSE;
    }
}

HRESULT CShellFolder::FindChildByName(const std::wstring& name, CItemIDList& found, SHGDNF flags) const
{
    return FindChildByName(name, found, flags, nullptr, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN);
}

HRESULT CShellFolder::FindChildByName(const std::wstring& name, CItemIDList& found) const
{
    return FindChildByName(name, found, SHGDN_INFOLDER);
}

bool CShellFolder::HasItems(HWND window, SHCONTF contents) const
{
    if (!m_folder) return false;
    ATL::CComPtr<IEnumIDList> children;
    if (FAILED(m_folder->EnumObjects(window, contents, &children)) || !children) return false;
    LPITEMIDLIST item = nullptr;
    ULONG fetched = 0;
    const HRESULT hr = children->Next(1, &item, &fetched);
    const CItemIDList owned(item);
    return hr == S_OK && fetched == 1 && item;
}
