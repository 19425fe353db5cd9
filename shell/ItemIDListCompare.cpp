#include "shell/ShellFolder.h"

#include <algorithm>
#include <cstring>

namespace {

// A total order of two records by their bytes, for when the shell cannot tell.
int CompareRecordBytes(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    const int order = std::memcmp(a, b, std::min(a->mkid.cb, b->mkid.cb));
    if (order) return order < 0 ? -1 : 1;
    return a->mkid.cb == b->mkid.cb ? 0 : (a->mkid.cb < b->mkid.cb ? -1 : 1);
}

} // namespace

int CompareItemIDLists(LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2)
{
    if (!pidl1 || !pidl2) return pidl1 == pidl2 ? 0 : (pidl1 ? 1 : -1);
    LPCITEMIDLIST a = pidl1, b = pidl2;
    while (a->mkid.cb && b->mkid.cb && CItemIDListHandle::IsSameFirstItem(a, b)) {
        a = CItemIDListHandle::GetNextItem(a);
        b = CItemIDListHandle::GetNextItem(b);
    }
    if (!a->mkid.cb || !b->mkid.cb) return a->mkid.cb == b->mkid.cb ? 0 : (a->mkid.cb ? 1 : -1);
    const auto commonSize = static_cast<UINT>(reinterpret_cast<const BYTE*>(a) - reinterpret_cast<const BYTE*>(pidl1));
    const CItemIDList common = CopyRecords(reinterpret_cast<const BYTE*>(pidl1), commonSize);
    const CItemIDList first = CopyFirstRecord(a), second = CopyFirstRecord(b);
    CShellFolder folder;
    if (!common.IsNull() && !first.IsNull() && !second.IsNull() && SUCCEEDED(folder.BindTo(common))) {
        const int order = folder.CompareIDs(0, first.Get(), second.Get());
        if (order != -2) return order;
    }
    return CompareRecordBytes(a, b);
}

HRESULT NormalizeItemIDList(LPCITEMIDLIST pidl, CItemIDList& out)
{
    out.Free();
    if (!pidl) return E_INVALIDARG;
    CShellFolder desktop;
    HRESULT hr = desktop.BindToDesktop();
    if (FAILED(hr)) return hr;
    std::wstring name;
    hr = desktop.GetDisplayNameOf(pidl, SHGDN_FORPARSING, name);
    if (FAILED(hr)) return hr;
    return out.FromPath(name.c_str());
}
