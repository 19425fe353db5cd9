#pragma once
// A shell folder: the desktop, a folder named by an item ID list or the parent of an item, and the
// folder's own operations on its children. E_HANDLE when no folder is bound.
#include "shell/ItemIDList.h"

#include <ComPtr.h>

#include <shlobj.h>
#include <windows.h>

#include <span>
#include <string>

class CShellFolder {
public:
    CShellFolder() noexcept = default;
    CShellFolder(const CShellFolder&) = delete;
    CShellFolder& operator=(const CShellFolder&) = delete;

    IShellFolder* Get() const noexcept { return m_folder; }
    bool IsBound() const noexcept { return m_folder != nullptr; }
    void Release() noexcept { m_folder.Release(); }
    // Holds a folder the caller already has (its own reference is kept).
    void Bind(IShellFolder* folder) noexcept { m_folder = folder; }

    HRESULT BindToDesktop();
    void BindToDesktopOrThrow();
    // `child` (optional) receives the item's last record, which points into `pidl`.
    HRESULT BindToParent(LPCITEMIDLIST pidl, PCUITEMID_CHILD* child = nullptr);
    void BindToParentOrThrow(LPCITEMIDLIST pidl, PCUITEMID_CHILD* child = nullptr);
    // A null or empty list is the desktop itself.
    HRESULT BindTo(const CItemIDListHandle& pidl);
    void BindToOrThrow(const CItemIDListHandle& pidl);
    // One level after the other from the desktop; the first failure is returned.
    HRESULT BindToStepwise(const CItemIDListHandle& pidl);

    // -1, 0 or 1; an empty list sorts first; -2 when the folder cannot compare them.
    int CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) const;

    HRESULT GetAttributesOf(std::span<const PCUITEMID_CHILD> items, SFGAOF& inOut) const;
    HRESULT GetAttributesOf(PCUITEMID_CHILD item, SFGAOF& inOut) const;
    void GetAttributesOfOrThrow(std::span<const PCUITEMID_CHILD> items, SFGAOF& inOut) const;
    void GetAttributesOfOrThrow(PCUITEMID_CHILD item, SFGAOF& inOut) const;
    // DROPEFFECT_COPY, _MOVE and _LINK as the items' attributes allow.
    HRESULT GetAllowedEffects(std::span<const PCUITEMID_CHILD> items, DWORD& effects) const;
    HRESULT GetAllowedEffects(PCUITEMID_CHILD item, DWORD& effects) const;

    HRESULT GetDisplayNameOf(PCUITEMID_CHILD child, SHGDNF flags, std::wstring& name) const;
    HRESULT ParseDisplayName(const wchar_t* name, IBindCtx* context, PIDLIST_RELATIVE* pidl, SFGAOF* attributes) const;
    HRESULT SetNameOf(PCUITEMID_CHILD child, const wchar_t* name, PITEMID_CHILD* newChild) const;
    void SetNameOfOrThrow(PCUITEMID_CHILD child, const wchar_t* name, PITEMID_CHILD* newChild) const;

    // E_INVALIDARG for no items: the shell is not asked for an object of nothing.
    HRESULT GetUIObjectOf(std::span<const PCUITEMID_CHILD> items, REFIID iid, void** out) const;
    HRESULT CreateDataObject(std::span<const PCUITEMID_CHILD> items, IDataObject** out) const;
    void CreateDataObjectOrThrow(std::span<const PCUITEMID_CHILD> items, IDataObject** out) const;

    // S_FALSE and `data` untouched when the folder has no details of its items.
    HRESULT GetFindDataOf(PCUITEMID_CHILD child, WIN32_FIND_DATAW& data) const;
    // The display names in their folders of the records of `pidl` from this folder down, "\" between.
    HRESULT GetNamePath(LPCITEMIDLIST pidl, std::wstring& text) const;

    // The first child whose display name equals `name` regardless of case, or null in `found`.
    HRESULT FindChildByName(const std::wstring& name, CItemIDList& found, SHGDNF flags, HWND window,
                            SHCONTF contents) const;
    HRESULT FindChildByName(const std::wstring& name, CItemIDList& found, SHGDNF flags) const;
    HRESULT FindChildByName(const std::wstring& name, CItemIDList& found) const;
    bool HasItems(HWND window, SHCONTF contents) const;

private:
    HRESULT Take(IShellFolder* folder);

    ATL::CComPtr<IShellFolder> m_folder;
};

// Walks both lists while their records are the same item; at the first pair that differs, the
// folder of the records in common compares them. When that folder cannot be bound or cannot
// compare, the bytes of the two records decide, so that the order is still a defined one.
int CompareItemIDLists(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2);

// The list's parsing name read back through the desktop folder.
HRESULT NormalizeItemIDList(LPCITEMIDLIST pidl, CItemIDList& out);
