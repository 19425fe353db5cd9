#pragma once
// The shell's item ID lists: SHITEMID records, each starting with its 16-bit byte count (which
// counts itself), ended by a record whose count is 0. The handle refers to a list; CItemIDList
// owns one allocated with CoTaskMemAlloc.
#include <windows.h>

#include <shlobj.h>

#include <cstddef>
#include <ostream>
#include <string>

class CItemIDListHandle {
public:
    CItemIDListHandle(LPITEMIDLIST pidl = nullptr) : m_pidl(pidl) {}
    CItemIDListHandle(const CItemIDListHandle& other) = default;
    CItemIDListHandle& operator=(const CItemIDListHandle& other) = default;
    virtual ~CItemIDListHandle() = default;

    LPITEMIDLIST Get() const { return m_pidl; }
    bool IsNull() const { return m_pidl == nullptr; }
    // Requires a list.
    bool IsEmpty() const { return m_pidl->mkid.cb == 0; }
    UINT GetFirstItemSize() const { return m_pidl->mkid.cb; }
    static LPITEMIDLIST GetNextItem(LPCITEMIDLIST item);

    UINT GetSize() const;
    UINT GetParentSize() const;
    UINT GetItemCount() const;
    LPITEMIDLIST GetLastItem() const;

    static bool IsSameFirstItem(LPCITEMIDLIST a, LPCITEMIDLIST b);
    bool IsAncestorOf(const CItemIDListHandle& other) const;

    HRESULT GetPath(std::wstring& path) const;
    void GetPathOrThrow(std::wstring& path) const;
    std::wstring GetFileInfoDisplayName() const;
    HRESULT GetDisplayNameInParent(SHGDNF flags, std::wstring& name) const;
    static HRESULT GetDisplayName(IShellFolder* folder, LPCITEMIDLIST child, SHGDNF flags, std::wstring& name);
    HICON GetIcon(UINT flags) const;
    int GetSysIconIndex(UINT flags) const;

    std::wostream& DumpHex(std::wostream& os) const;

protected:
    LPITEMIDLIST m_pidl;
};

// Size of a list in bytes: its records plus the terminator; 0 for a null list.
UINT GetIdListSize(LPCITEMIDLIST pidl);

class CItemIDList : public CItemIDListHandle {
public:
    // Takes ownership of `pidl`.
    CItemIDList(LPITEMIDLIST pidl = nullptr) : CItemIDListHandle(pidl) {}
    CItemIDList(const CItemIDList& other) : CItemIDListHandle() { Assign(other); }
    CItemIDList(CItemIDList&& other) noexcept : CItemIDListHandle(other.Detach()) {}
    CItemIDList& operator=(const CItemIDList& other)
    {
        Assign(other);
        return *this;
    }
    CItemIDList& operator=(CItemIDList&& other) noexcept
    {
        if (this != &other) Attach(other.Detach());
        return *this;
    }
    ~CItemIDList() override { Free(); }

    // Frees the old list; the new one is zero-filled, or null when the allocation failed.
    LPITEMIDLIST Alloc(UINT size);
    void Free();
    void Attach(LPITEMIDLIST pidl);
    LPITEMIDLIST Detach();
    // Deep copy of `other`.
    void Assign(const CItemIDListHandle& other);

    CItemIDList GetChildPart(const CItemIDListHandle& ancestor) const;
    [[nodiscard]] static CItemIDList Combine(const CItemIDListHandle& a, const CItemIDListHandle& b);
    // This list becomes a's records then b's; either may be this list's own.
    HRESULT Combine(LPCITEMIDLIST a, LPCITEMIDLIST b);
    // An empty list (the terminator alone): the desktop.
    HRESULT MakeEmpty();

    // Parsed by the desktop folder; `attributes` (optional) asks for and receives the item's.
    HRESULT FromPath(const wchar_t* path, SFGAOF* attributes = nullptr);
    void FromPathOrThrow(const wchar_t* path, SFGAOF* attributes = nullptr);
    // Parsed through a file-system bind context: the item need not exist.
    HRESULT FromPathNoFile(const std::wstring& path, const WIN32_FIND_DATAW* data = nullptr);
    HRESULT FromSpecialFolder(int csidl);
    HRESULT FromDesktop() { return FromSpecialFolder(CSIDL_DESKTOP); }
    void FromDesktopOrThrow();
    HRESULT FromRecycleBin() { return FromSpecialFolder(CSIDL_BITBUCKET); }
    HRESULT FromComputer() { return FromSpecialFolder(CSIDL_DRIVES); }
    CItemIDList CloneFirst() const;
    CItemIDList CloneParent() const;
    CItemIDList RemoveLast();
};

// A one-record list holding a copy of the first record of `pidl`; null when the allocation failed.
CItemIDList CopyFirstRecord(LPCITEMIDLIST pidl);
// A new list of the `size` bytes at `records`, terminated; null when the allocation failed.
CItemIDList CopyRecords(const BYTE* records, UINT size);

// The characters after the last '.', empty without one.
std::wstring GetFileExtension(const char* name);
std::wstring GetFileExtension(const wchar_t* name);

// Display names of the records from the desktop down, "/" between them.
std::wostream& operator<<(std::wostream& os, const CItemIDListHandle& list);

// The bytes a range of lists takes together (a "Shell IDList Array" holds them one after another).
template <class Iterator> size_t TotalIdListSize(Iterator first, Iterator last)
{
    size_t total = 0;
    for (; first != last; ++first) total += first->GetSize();
    return total;
}
