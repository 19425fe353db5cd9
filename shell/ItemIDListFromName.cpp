#include "shell/ItemIDList.h"

#include "foundation/Exception.h"
#include "ids/shellfolders.h"
#include "shell/FileSystemBindData.h"
#include "shell/ShellFolder.h"

#include <ComPtr.h>

#include <cstring>

namespace {

HRESULT ParseThroughDesktop(CItemIDList& list, const wchar_t* path, IBindCtx* context, SFGAOF* attributes)
{
    list.Free();
    CShellFolder desktop;
    HRESULT hr = desktop.BindToDesktop();
    if (FAILED(hr)) return hr;
    LPITEMIDLIST parsed = nullptr;
    hr = desktop.ParseDisplayName(path, context, &parsed, attributes);
    if (FAILED(hr)) return hr;
    list.Attach(parsed);
    return parsed ? S_OK : E_FAIL;
}

} // namespace

HRESULT CItemIDList::Combine(LPCITEMIDLIST a, LPCITEMIDLIST b)
{
    const UINT sizeA = GetIdListSize(a), sizeB = GetIdListSize(b);
    const size_t recordsA = sizeA ? sizeA - 2 : 0, recordsB = sizeB ? sizeB - 2 : 0;
    if (recordsA + recordsB + 2 > 0xFFFFFFFFu) return E_INVALIDARG;
    // Built apart first: a or b may be this list.
    CItemIDList combined;
    if (!combined.Alloc(static_cast<UINT>(recordsA + recordsB + 2))) return E_FAIL;
    BYTE* out = reinterpret_cast<BYTE*>(combined.Get());
    if (recordsA) std::memcpy(out, a, recordsA);
    if (recordsB) std::memcpy(out + recordsA, b, recordsB);
    Attach(combined.Detach());
    return S_OK;
}

HRESULT CItemIDList::MakeEmpty() { return Alloc(2) ? S_OK : E_FAIL; }

HRESULT CItemIDList::FromPath(const wchar_t* path, SFGAOF* attributes)
{
    return ParseThroughDesktop(*this, path, nullptr, attributes);
}

void CItemIDList::FromPathOrThrow(const wchar_t* path, SFGAOF* attributes)
{
    ThrowIfFailed(FromPath(path, attributes), IDS_IDLIST_FROM_PATH_FAILED, path ? path : L"");
}

HRESULT CItemIDList::FromPathNoFile(const std::wstring& path, const WIN32_FIND_DATAW* data)
{
    Free();
    ATL::CComPtr<IBindCtx> context;
    const HRESULT hr = CreateFileSystemBindCtx(path, data, &context);
    if (FAILED(hr)) return hr;
    return ParseThroughDesktop(*this, path.c_str(), context, nullptr);
}

HRESULT CItemIDList::FromSpecialFolder(int csidl)
{
    Free();
    LPITEMIDLIST pidl = nullptr;
    const HRESULT hr = ::SHGetSpecialFolderLocation(nullptr, csidl, &pidl);
    if (FAILED(hr)) return hr;
    Attach(pidl);
    return pidl ? S_OK : E_FAIL;
}

void CItemIDList::FromDesktopOrThrow() { ThrowIfFailed(FromDesktop(), IDS_IDLIST_ROOT_FAILED); }

std::wstring GetFileExtension(const char* name)
{
    if (!name) return std::wstring();
    const char* dot = std::strrchr(name, '.');
    if (!dot) return std::wstring();
    std::wstring extension;
    for (const char* c = dot + 1; *c; ++c) extension += static_cast<wchar_t>(static_cast<unsigned char>(*c));
    return extension;
}

std::wstring GetFileExtension(const wchar_t* name)
{
    if (!name) return std::wstring();
    const wchar_t* dot = std::wcsrchr(name, L'.');
    return dot ? std::wstring(dot + 1) : std::wstring();
}
