#include "shell/ItemIDList.h"

#include "foundation/Exception.h"
#include "ids/shellops.h"
#include "shell/CheckedIntCast.h"

#include <ComPtr.h>

#include <cstring>
#include <iomanip>

namespace {

const BYTE* Bytes(LPCITEMIDLIST pidl) { return reinterpret_cast<const BYTE*>(pidl); }

} // namespace

CItemIDList CopyFirstRecord(LPCITEMIDLIST pidl)
{
    CItemIDList copy;
    const UINT cb = pidl->mkid.cb;
    if (copy.Alloc(cb + 2)) std::memcpy(copy.Get(), pidl, cb);
    return copy;
}

CItemIDList CopyRecords(const BYTE* records, UINT size)
{
    CItemIDList copy;
    if (copy.Alloc(size + 2) && size) std::memcpy(copy.Get(), records, size);
    return copy;
}

UINT GetIdListSize(LPCITEMIDLIST pidl)
{
    if (!pidl) return 0;
    UINT size = 0;
    for (LPCITEMIDLIST item = pidl; item->mkid.cb; item = CItemIDListHandle::GetNextItem(item)) size += item->mkid.cb;
    return size + 2;
}

LPITEMIDLIST CItemIDListHandle::GetNextItem(LPCITEMIDLIST item)
{
    return reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(Bytes(item) + item->mkid.cb));
}

UINT CItemIDListHandle::GetSize() const { return GetIdListSize(m_pidl); }

UINT CItemIDListHandle::GetParentSize() const
{
    LPITEMIDLIST last = GetLastItem();
    return last ? static_cast<UINT>(Bytes(last) - Bytes(m_pidl)) : 0;
}

UINT CItemIDListHandle::GetItemCount() const
{
    UINT count = 0;
    if (m_pidl) {
        for (LPCITEMIDLIST item = m_pidl; item->mkid.cb; item = GetNextItem(item)) ++count;
    }
    return count;
}

LPITEMIDLIST CItemIDListHandle::GetLastItem() const
{
    if (!m_pidl || IsEmpty()) return nullptr;
    LPITEMIDLIST item = m_pidl;
    for (LPITEMIDLIST next = GetNextItem(item); next->mkid.cb; next = GetNextItem(next)) item = next;
    return item;
}

// Equal bytes are the same item; different bytes may still name the same item, so the shell decides.
bool CItemIDListHandle::IsSameFirstItem(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    if (!a || !b) return a == b;
    const UINT cb = a->mkid.cb;
    if (cb == b->mkid.cb && (cb == 0 || std::memcmp(a, b, cb) == 0)) return true;
    if (a->mkid.cb == 0 || b->mkid.cb == 0) return false;
    CItemIDList first = CopyFirstRecord(a), second = CopyFirstRecord(b);
    if (first.IsNull() || second.IsNull()) return false;
    return ::ILIsEqual(first.Get(), second.Get()) != FALSE;
}

bool CItemIDListHandle::IsAncestorOf(const CItemIDListHandle& other) const
{
    if (!m_pidl || !other.m_pidl) return false;
    LPCITEMIDLIST mine = m_pidl, theirs = other.m_pidl;
    for (;;) {
        if (mine->mkid.cb == 0) return true;
        if (theirs->mkid.cb == 0) return false;
        if (!IsSameFirstItem(mine, theirs)) return false;
        mine = GetNextItem(mine);
        theirs = GetNextItem(theirs);
    }
}

HRESULT CItemIDListHandle::GetPath(std::wstring& path) const
{
    path.clear();
    if (!m_pidl) return E_FAIL;
    wchar_t buffer[MAX_PATH] = L"";
    if (!::SHGetPathFromIDListW(m_pidl, buffer)) return E_FAIL;
    path = buffer;
    return S_OK;
}

void CItemIDListHandle::GetPathOrThrow(std::wstring& path) const
{
    const HRESULT hr = GetPath(path);
    if (FAILED(hr)) throw my::CException(IDS_IDLIST_GET_PATH_FAILED, hr);
}

std::wstring CItemIDListHandle::GetFileInfoDisplayName() const
{
    SHFILEINFOW info = {};
    if (!m_pidl) return std::wstring();
    if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(m_pidl), 0, &info, sizeof(info), SHGFI_PIDL | SHGFI_DISPLAYNAME)) {
        return std::wstring();
    }
    return info.szDisplayName;
}

HRESULT CItemIDListHandle::GetDisplayNameInParent(SHGDNF flags, std::wstring& name) const
{
    name.clear();
    if (!m_pidl) return E_POINTER;
    ATL::CComPtr<IShellFolder> parent;
    LPCITEMIDLIST child = nullptr;
    const HRESULT hr = ::SHBindToParent(m_pidl, IID_IShellFolder, reinterpret_cast<void**>(&parent), &child);
    if (FAILED(hr)) return hr;
    return GetDisplayName(parent, child, flags, name);
}

HRESULT CItemIDListHandle::GetDisplayName(IShellFolder* folder, LPCITEMIDLIST child, SHGDNF flags, std::wstring& name)
{
    name.clear();
    if (!child) return S_OK;
    if (!folder) return E_POINTER;
    STRRET ret = {};
    const HRESULT hr = folder->GetDisplayNameOf(child, flags, &ret);
    if (FAILED(hr)) return hr;
    switch (ret.uType) {
    case STRRET_WSTR:
        if (ret.pOleStr) {
            name = ret.pOleStr;
            ::CoTaskMemFree(ret.pOleStr);
        }
        break;
    case STRRET_CSTR: {
        const int length = ::MultiByteToWideChar(CP_THREAD_ACP, 0, ret.cStr, -1, nullptr, 0);
        if (length > 1) {
            name.resize(static_cast<size_t>(length));
            ::MultiByteToWideChar(CP_THREAD_ACP, 0, ret.cStr, -1, name.data(), length);
            name.resize(static_cast<size_t>(length - 1));
        }
        break;
    }
    default: break;
    }
    return S_OK;
}

HICON CItemIDListHandle::GetIcon(UINT flags) const
{
    SHFILEINFOW info = {};
    if (!m_pidl) return nullptr;
    if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(m_pidl), 0, &info, sizeof(info), flags | SHGFI_PIDL | SHGFI_ICON)) {
        return nullptr;
    }
    return info.hIcon;
}

int CItemIDListHandle::GetSysIconIndex(UINT flags) const
{
    SHFILEINFOW info = {};
    if (!m_pidl) return -1;
    if (!::SHGetFileInfoW(reinterpret_cast<LPCWSTR>(m_pidl), 0, &info, sizeof(info),
                          flags | SHGFI_PIDL | SHGFI_SYSICONINDEX)) {
        return -1;
    }
    return info.iIcon;
}

std::wostream& CItemIDListHandle::DumpHex(std::wostream& os) const
{
    if (!m_pidl) return os;
    const wchar_t fill = os.fill(L'0');
    const std::ios_base::fmtflags flags = os.flags();
    os << std::hex;
    bool first = true;
    for (LPCITEMIDLIST item = m_pidl; item->mkid.cb; item = GetNextItem(item)) {
        if (!first) os << L'/';
        first = false;
        for (UINT i = sizeof(item->mkid.cb); i < item->mkid.cb; ++i) {
            os << std::setw(2) << static_cast<unsigned>(Bytes(item)[i]);
        }
    }
    os.fill(fill);
    os.flags(flags);
    return os;
}

std::wostream& operator<<(std::wostream& os, const CItemIDListHandle& list)
{
    LPCITEMIDLIST item = list.Get();
    if (!item) return os << L"NULL";
    ATL::CComPtr<IShellFolder> folder;
    if (FAILED(::SHGetDesktopFolder(&folder))) return os << L"CItemIDListHandle::operator << failed";
    bool first = true;
    for (; item->mkid.cb; item = CItemIDListHandle::GetNextItem(item)) {
        if (!first) os << L'/';
        first = false;
        CItemIDList record = CopyFirstRecord(item);
        std::wstring name;
        if (!record.IsNull() &&
            SUCCEEDED(CItemIDListHandle::GetDisplayName(folder, record.Get(), SHGDN_INFOLDER, name))) {
            os << name;
        } else {
            const wchar_t fill = os.fill(L'0');
            const std::ios_base::fmtflags flags = os.flags();
            os << L"?{" << std::hex;
            for (UINT i = 0; i < item->mkid.cb; ++i) os << std::setw(2) << static_cast<unsigned>(Bytes(item)[i]);
            os << L"}";
            os.fill(fill);
            os.flags(flags);
        }
        // Only a record with a successor is bound: the last one may well be a file.
        if (CItemIDListHandle::GetNextItem(item)->mkid.cb == 0) break;
        ATL::CComPtr<IShellFolder> next;
        if (record.IsNull() ||
            FAILED(folder->BindToObject(record.Get(), nullptr, IID_IShellFolder, reinterpret_cast<void**>(&next)))) {
            return os << L"CItemIDListHandle::operator << BindToObject failed";
        }
        folder = next;
    }
    return os;
}

LPITEMIDLIST CItemIDList::Alloc(UINT size)
{
    Free();
    m_pidl = static_cast<LPITEMIDLIST>(::CoTaskMemAlloc(size));
    if (m_pidl) std::memset(m_pidl, 0, size);
    return m_pidl;
}

void CItemIDList::Free()
{
    if (m_pidl) ::CoTaskMemFree(m_pidl);
    m_pidl = nullptr;
}

void CItemIDList::Attach(LPITEMIDLIST pidl)
{
    if (pidl == m_pidl) return;
    Free();
    m_pidl = pidl;
}

LPITEMIDLIST CItemIDList::Detach()
{
    LPITEMIDLIST pidl = m_pidl;
    m_pidl = nullptr;
    return pidl;
}

void CItemIDList::Assign(const CItemIDListHandle& other)
{
    if (other.Get() == m_pidl) return;
    const UINT size = other.GetSize();
    Free();
    if (!size) return;
    if (Alloc(size)) std::memcpy(m_pidl, other.Get(), size);
}

CItemIDList CItemIDList::GetChildPart(const CItemIDListHandle& ancestor) const
{
    if (!ancestor.IsAncestorOf(*this)) return CItemIDList();
    LPCITEMIDLIST mine = m_pidl;
    for (LPCITEMIDLIST theirs = ancestor.Get(); theirs->mkid.cb; theirs = GetNextItem(theirs)) {
        mine = GetNextItem(mine);
    }
    return CopyRecords(Bytes(mine), GetIdListSize(mine) - 2);
}

CItemIDList CItemIDList::Combine(const CItemIDListHandle& a, const CItemIDListHandle& b)
{
    const int sizeA = CheckedIntCast(a.GetSize());
    const int sizeB = CheckedIntCast(b.GetSize());
    CItemIDList combined;
    if (sizeA == 0 && sizeB == 0) return combined;
    const int recordsA = sizeA ? sizeA - 2 : 0;
    const int recordsB = sizeB ? sizeB - 2 : 0;
    const int total = CheckedIntCast(static_cast<size_t>(recordsA) + static_cast<size_t>(recordsB) + 2);
    if (!combined.Alloc(static_cast<UINT>(total))) return combined;
    BYTE* out = reinterpret_cast<BYTE*>(combined.Get());
    if (recordsA) std::memcpy(out, a.Get(), static_cast<size_t>(recordsA));
    if (recordsB) std::memcpy(out + recordsA, b.Get(), static_cast<size_t>(recordsB));
    return combined;
}

CItemIDList CItemIDList::CloneFirst() const
{
    if (!m_pidl) return CItemIDList();
    return CopyFirstRecord(m_pidl);
}

CItemIDList CItemIDList::CloneParent() const
{
    const UINT size = GetParentSize();
    if (!size) return CItemIDList();
    return CopyRecords(Bytes(m_pidl), size);
}

CItemIDList CItemIDList::RemoveLast()
{
    if (!m_pidl) return CItemIDList();
    if (IsEmpty()) return CItemIDList(Detach());
    LPITEMIDLIST last = GetLastItem();
    CItemIDList removed = CopyFirstRecord(last);
    if (!removed.IsNull()) last->mkid.cb = 0;
    return removed;
}
