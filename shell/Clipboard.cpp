#include "shell/Clipboard.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "foundation/LastError.h"
#include "foundation/NumberText.h"
#include "ids/clipboard.h"

#include <ole2.h>
#include <shlobj.h>

#include <cstring>

const wchar_t kPreferredDropEffectFormat[] = L"Preferred DropEffect";
const wchar_t kShellIdListFormat[] = L"Shell IDList Array";

namespace {

const HRESULT kLockFailed = HRESULT_FROM_WIN32(ERROR_NOACCESS);
const HRESULT kBadBlock = HRESULT_FROM_WIN32(ERROR_INVALID_DATA);

UINT RegisterFormatOrThrow(const wchar_t* name)
{
    const UINT format = ::RegisterClipboardFormatW(name);
    if (!format) throw my::CException(IDS_CLIPBOARD_FORMAT_REGISTER_FAILED, LastErrorAsHResult());
    return format;
}

// A locked block with its size as the system reports it.
class CLockedBlock {
public:
    explicit CLockedBlock(HGLOBAL h) : m_size(h ? ::GlobalSize(h) : 0)
    {
        m_data = static_cast<const BYTE*>(m_lock.Lock(h));
    }
    const BYTE* Data() const { return m_data; }
    SIZE_T Size() const { return m_size; }

private:
    CGlobalLocker m_lock;
    const BYTE* m_data = nullptr;
    SIZE_T m_size;
};

// The full lists of an array take at most this many times the block: a folder's list is a few
// hundred bytes and an item's about a hundred, so what the shell writes stays far below; a long
// parent repeated for thousands of tiny items does not.
constexpr ULONGLONG kFullListsPerBlockByte = 128;

// The byte length (terminator included) of each list of an ID-list array, in offset order. Each
// list must lie in the block after the header and share no byte with another list: every byte is
// looked at once, so a block cannot make the walk quadratic, and the lists add up to no more
// than the block.
bool MeasureIdLists(const BYTE* base, SIZE_T size, SIZE_T header, const std::vector<UINT>& offsets,
                    std::vector<ULONGLONG>& lengths)
{
    std::vector<bool> taken(size, false);
    auto take = [&](ULONGLONG from, ULONGLONG count) {
        for (ULONGLONG at = from; at < from + count; ++at) {
            if (taken[static_cast<size_t>(at)]) return false;
            taken[static_cast<size_t>(at)] = true;
        }
        return true;
    };
    lengths.clear();
    lengths.reserve(offsets.size());
    for (const UINT start : offsets) {
        if (start < header) return false;
        ULONGLONG at = start;
        for (;;) {
            if (at + sizeof(USHORT) > size) return false;
            USHORT cb = 0;
            std::memcpy(&cb, base + at, sizeof(cb));
            if (cb == 0) {
                if (!take(at, sizeof(USHORT))) return false;
                at += sizeof(USHORT);
                break;
            }
            if (cb < sizeof(USHORT) || at + cb > size || !take(at, cb)) return false;
            at += cb;
        }
        lengths.push_back(at - start);
    }
    return true;
}

} // namespace

CClipboardOpener::CClipboardOpener(HWND owner) { Open(owner); }

CClipboardOpener::~CClipboardOpener() { Close(); }

void CClipboardOpener::Open(HWND owner)
{
    if (m_opened) return;
    if (!::OpenClipboard(owner)) ThrowClipboardError();
    m_hWnd = owner;
    m_opened = true;
}

void CClipboardOpener::Close()
{
    if (!m_opened) return;
    ::CloseClipboard();
    m_opened = false;
}

void EmptyClipboardChecked(bool throwOnError)
{
    if (!::EmptyClipboard() && throwOnError) throw my::CException(IDS_CLIPBOARD_EMPTY_FAILED, LastErrorAsHResult());
}

void SetClipboardDataOrThrow(UINT format, CGlobalMemory& data)
{
    if (!::SetClipboardData(format, data.Get())) throw my::CException(IDS_CLIPBOARD_SET_FAILED, LastErrorAsHResult());
    data.Detach();
}

void SetClipboardDataOrThrow(const wchar_t* formatName, CGlobalMemory& data)
{
    SetClipboardDataOrThrow(RegisterFormatOrThrow(formatName), data);
}

namespace {

// A movable block holding `size` bytes copied from `bytes`.
void MakeBlockOrThrow(CGlobalMemory& memory, const void* bytes, SIZE_T size)
{
    if (!memory.Alloc(size, GMEM_MOVEABLE)) throw my::CException(IDS_MEMORY_ALLOC_FAILED);
    CGlobalLocker lock;
    void* p = lock.Lock(memory.Get());
    if (!p) throw my::CException(IDS_MEMORY_LOCK_FAILED);
    std::memcpy(p, bytes, size);
}

} // namespace

void SetClipboardDword(const wchar_t* formatName, DWORD value)
{
    const UINT format = RegisterFormatOrThrow(formatName);
    CGlobalMemory memory;
    MakeBlockOrThrow(memory, &value, sizeof(value));
    SetClipboardDataOrThrow(format, memory);
}

void SetClipboardDropEffect(DWORD effect) { SetClipboardDword(kPreferredDropEffectFormat, effect); }

void SetClipboardUnicodeText(const std::wstring& text)
{
    CGlobalMemory memory;
    MakeBlockOrThrow(memory, text.c_str(), (text.size() + 1) * sizeof(wchar_t));
    SetClipboardDataOrThrow(CF_UNICODETEXT, memory);
}

void CopyTextToClipboard(HWND owner, const std::wstring& text)
{
    CClipboard clipboard(owner);
    EmptyClipboardChecked(true);
    SetClipboardUnicodeText(text);
    clipboard.Close();
}

HRESULT MakeDropFiles(HGLOBAL& out, const std::wstring& list)
{
    if (list.empty()) return E_INVALIDARG;
    // One wide character more than the list: a list handed in without its final NUL still ends
    // in the empty name readers stop at (the block is zero-filled).
    CGlobalMemory memory;
    if (!memory.Alloc(sizeof(DROPFILES) + (list.size() + 1) * sizeof(wchar_t), GHND)) {
        return HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY);
    }
    CGlobalLocker lock;
    auto* drop = static_cast<DROPFILES*>(lock.Lock(memory.Get()));
    if (!drop) return kLockFailed;
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<BYTE*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
    lock.Unlock();
    out = memory.Detach();
    return S_OK;
}

void MakeDropFilesOrThrow(HGLOBAL& out, const std::wstring& list)
{
    const HRESULT hr = MakeDropFiles(out, list);
    if (FAILED(hr)) throw my::CException(IDS_DROP_FILES_FAILED, hr);
}

HRESULT MakeShellIdListArray(HGLOBAL& out, const std::vector<CItemIDList>& lists)
{
    if (lists.empty()) return E_INVALIDARG;
    const size_t header = sizeof(UINT) + sizeof(UINT) * (lists.size() + 1);
    const size_t total = header + sizeof(USHORT) + TotalIdListSize(lists.begin(), lists.end());
    if (total > UINT_MAX) return E_OUTOFMEMORY; // offsets are 32-bit
    CGlobalMemory memory;
    if (!memory.Alloc(total, GHND)) return E_OUTOFMEMORY;
    CGlobalLocker lock;
    auto* base = static_cast<BYTE*>(lock.Lock(memory.Get()));
    if (!base) return kLockFailed;
    auto* offsets = reinterpret_cast<UINT*>(base);
    offsets[0] = static_cast<UINT>(lists.size());
    offsets[1] = static_cast<UINT>(header); // the desktop as parent: an empty list
    size_t at = header + sizeof(USHORT);
    for (size_t i = 0; i < lists.size(); ++i) {
        offsets[i + 2] = static_cast<UINT>(at);
        const UINT size = lists[i].GetSize();
        if (size) std::memcpy(base + at, lists[i].Get(), size);
        at += size;
    }
    lock.Unlock();
    out = memory.Detach();
    return S_OK;
}

void SetOleClipboard(IDataObject* data, bool flush)
{
    if (FAILED(::OleSetClipboard(data))) throw my::CException(IDS_OLE_CLIPBOARD_SET_FAILED);
    if (flush && FAILED(::OleFlushClipboard())) throw my::CException(IDS_OLE_CLIPBOARD_FLUSH_FAILED);
}

HANDLE GetClipboardDataOrThrow(UINT format)
{
    HANDLE data = ::GetClipboardData(format);
    if (!data) throw my::CException(IDS_CLIPBOARD_GET_FAILED, LastErrorAsHResult());
    return data;
}

int CheckClipboardFormat(const std::vector<UINT>& formats, bool throwIfNone)
{
    std::vector<UINT> list(formats);
    const int found = ::GetPriorityClipboardFormat(list.data(), static_cast<int>(list.size()));
    if (throwIfNone && found == 0) throw my::CException(IDS_CLIPBOARD_EMPTY);
    if (throwIfNone && found == -1) throw my::CException(IDS_CLIPBOARD_FORMAT_UNSUPPORTED);
    return found;
}

bool GetClipboardUnicodeText(std::wstring& text)
{
    HANDLE data = ::GetClipboardData(CF_UNICODETEXT);
    if (!data) return false;
    CLockedBlock block(data);
    if (!block.Data()) return false;
    // Up to the NUL, and never past the block when another process left it out.
    const auto* chars = reinterpret_cast<const wchar_t*>(block.Data());
    const size_t count = block.Size() / sizeof(wchar_t);
    size_t length = 0;
    while (length < count && chars[length]) ++length;
    text.assign(chars, length);
    return true;
}

HRESULT GetClipboardDropEffect(DWORD& effect)
{
    effect = DROPEFFECT_COPY;
    const UINT format = ::RegisterClipboardFormatW(kPreferredDropEffectFormat);
    if (!format) return LastErrorAsHResult();
    HANDLE data = ::GetClipboardData(format);
    if (!data) {
        const DWORD error = ::GetLastError();
        if (error == 0 || error == ERROR_NO_TOKEN) return S_OK;
        return FailureFromWin32(error);
    }
    CLockedBlock block(data);
    if (!block.Data()) return LastErrorAsHResult();
    if (block.Size() < sizeof(DWORD)) return kBadBlock;
    std::memcpy(&effect, block.Data(), sizeof(effect));
    return S_OK;
}

DWORD GetClipboardDropEffectOrThrow()
{
    DWORD effect = DROPEFFECT_COPY;
    const HRESULT hr = GetClipboardDropEffect(effect);
    if (FAILED(hr)) throw my::CException(IDS_CLIPBOARD_DROP_EFFECT_FAILED, hr);
    return effect;
}

bool IsClipboardCut()
{
    const DWORD effect = GetClipboardDropEffectOrThrow();
    if (effect == DROPEFFECT_COPY) return false;
    if (effect == DROPEFFECT_MOVE) return true;
    throw my::CException(IDS_DROP_EFFECT_UNSUPPORTED, ToHexWString(static_cast<unsigned int>(effect)));
}

HRESULT GetClipboardFileList(const CClipboardOpener& clipboard, std::list<std::wstring>& paths)
{
    paths.clear();
    if (!clipboard.IsOpen()) return HRESULT_FROM_WIN32(ERROR_CLIPBOARD_NOT_OPEN);
    const UINT idListFormat = ::RegisterClipboardFormatW(kShellIdListFormat);
    for (UINT format = ::EnumClipboardFormats(0); format; format = ::EnumClipboardFormats(format)) {
        if (format != CF_HDROP && format != idListFormat) continue;
        HANDLE data = ::GetClipboardData(format);
        if (!data) return LastErrorAsHResult();
        return format == CF_HDROP ? ReadDropFiles(data, paths) : ReadShellIdListArray(data, paths);
    }
    // The end of the enumeration leaves no error code: that is still no file list.
    return LastErrorAsHResult();
}

HRESULT ReadDropFiles(HGLOBAL data, std::list<std::wstring>& paths)
{
    CLockedBlock block(data);
    if (!block.Data()) return kLockFailed;
    DROPFILES header = {};
    if (block.Size() < sizeof(header)) return kBadBlock;
    std::memcpy(&header, block.Data(), sizeof(header));
    if (header.pFiles > block.Size()) return kBadBlock;
    const BYTE* names = block.Data() + header.pFiles;
    const size_t bytes = block.Size() - header.pFiles;
    // The names must end in an empty one inside the block; the copy carries its own terminator.
    auto checked = [](const auto* list, size_t count, auto& copy) {
        size_t i = 0;
        while (i < count) {
            if (!list[i]) {
                copy.assign(list, i + 1);
                copy.push_back(0);
                return true;
            }
            while (i < count && list[i]) ++i;
            ++i; // past the name's NUL
        }
        return false;
    };
    if (header.fWide) {
        std::wstring copy;
        if (!checked(reinterpret_cast<const wchar_t*>(names), bytes / sizeof(wchar_t), copy)) return kBadBlock;
        ParseMultiString(copy.c_str(), paths);
    } else {
        std::string copy;
        if (!checked(reinterpret_cast<const char*>(names), bytes, copy)) return kBadBlock;
        ParseMultiString(copy.c_str(), paths);
    }
    return S_OK;
}

HRESULT ParseShellIdListArray(HGLOBAL data, std::vector<CItemIDList>& lists)
{
    CLockedBlock block(data);
    const BYTE* base = block.Data();
    if (!base) return kLockFailed;
    const SIZE_T size = block.Size();
    UINT count = 0;
    if (size < sizeof(count)) return kBadBlock;
    std::memcpy(&count, base, sizeof(count));
    const ULONGLONG header = sizeof(UINT) + sizeof(UINT) * (static_cast<ULONGLONG>(count) + 1);
    if (header > size) return kBadBlock;
    std::vector<UINT> offsets(static_cast<size_t>(count) + 1);
    std::memcpy(offsets.data(), base + sizeof(UINT), offsets.size() * sizeof(UINT));
    std::vector<ULONGLONG> lengths;
    if (!MeasureIdLists(base, size, static_cast<SIZE_T>(header), offsets, lengths)) return kBadBlock;
    const ULONGLONG parentRecords = lengths[0] - sizeof(USHORT);
    ULONGLONG fullBytes = 0;
    for (size_t i = 1; i < lengths.size(); ++i) fullBytes += parentRecords + lengths[i];
    if (fullBytes > kFullListsPerBlockByte * size) return kBadBlock;
    // Records inside a block need not be aligned: each list is copied out before it is used.
    auto copyOut = [base](UINT offset) {
        CItemIDListHandle view(reinterpret_cast<LPITEMIDLIST>(const_cast<BYTE*>(base + offset)));
        CItemIDList copy;
        copy.Assign(view);
        return copy;
    };
    const CItemIDList parent = copyOut(offsets[0]);
    std::vector<CItemIDList> result;
    result.reserve(count);
    for (UINT i = 1; i <= count; ++i) {
        CItemIDList full = CItemIDList::Combine(parent, copyOut(offsets[i]));
        if (full.IsNull()) return E_OUTOFMEMORY;
        result.push_back(std::move(full));
    }
    lists.swap(result);
    return S_OK;
}

HRESULT ReadShellIdListArray(HGLOBAL data, std::list<std::wstring>& paths)
{
    paths.clear();
    std::vector<CItemIDList> lists;
    const HRESULT hr = ParseShellIdListArray(data, lists);
    if (FAILED(hr)) return hr;
    for (const CItemIDList& list : lists) {
        std::wstring path;
        if (FAILED(list.GetPath(path)) || path.empty()) return E_FAIL;
        paths.push_back(path);
    }
    return S_OK;
}
