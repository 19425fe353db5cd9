#pragma once
// Clipboard data: text, a DWORD in a registered format (the preferred drop effect), file lists as
// CF_HDROP or as the shell's ID-list array, and OLE data objects. Blocks read from the clipboard
// come from other processes: every offset and size in them is checked against the block.
#include "foundation/GlobalMemory.h"
#include "shell/ItemIDList.h"

#include <windows.h>

#include <objidl.h>

#include <list>
#include <string>
#include <vector>

// Holds the clipboard open for a window.
class CClipboardOpener {
public:
    explicit CClipboardOpener(HWND owner);
    virtual ~CClipboardOpener();
    CClipboardOpener(const CClipboardOpener&) = delete;
    CClipboardOpener& operator=(const CClipboardOpener&) = delete;

    void Open(HWND owner);
    void Close();
    bool IsOpen() const { return m_opened; }

protected:
    HWND m_hWnd = nullptr; // not owned
    bool m_opened = false;
};

class CClipboard : public CClipboardOpener {
public:
    explicit CClipboard(HWND owner) : CClipboardOpener(owner) {}
};

// The same global block, read as a CF_HDROP file list or as a "Shell IDList Array".
template <int N> class CDropFilesT : public CGlobalMemory {
public:
    using CGlobalMemory::CGlobalMemory;
};
template <int N> class CIdaT : public CGlobalMemory {
public:
    using CGlobalMemory::CGlobalMemory;
};

extern const wchar_t kPreferredDropEffectFormat[]; // "Preferred DropEffect"
extern const wchar_t kShellIdListFormat[];         // "Shell IDList Array"

// Writing; the clipboard must be open.
void EmptyClipboardChecked(bool throwOnError);
// On success the clipboard owns the block and `data` forgets it.
void SetClipboardDataOrThrow(UINT format, CGlobalMemory& data);
void SetClipboardDataOrThrow(const wchar_t* formatName, CGlobalMemory& data);
void SetClipboardDword(const wchar_t* formatName, DWORD value);
void SetClipboardDropEffect(DWORD effect);
void SetClipboardUnicodeText(const std::wstring& text);
// Opens the clipboard for the window, empties it and puts the text on it.
void CopyTextToClipboard(HWND owner, const std::wstring& text);
// `list` is a double-NUL-terminated wide list of paths.
HRESULT MakeDropFiles(HGLOBAL& out, const std::wstring& list);
void MakeDropFilesOrThrow(HGLOBAL& out, const std::wstring& list);
// Full lists under the desktop as parent.
HRESULT MakeShellIdListArray(HGLOBAL& out, const std::vector<CItemIDList>& lists);
void SetOleClipboard(IDataObject* data, bool flush);

// Reading; the clipboard must be open.
HANDLE GetClipboardDataOrThrow(UINT format);
// The first of `formats` on the clipboard, 0 when it is empty, -1 when none of them is there.
int CheckClipboardFormat(const std::vector<UINT>& formats, bool throwIfNone);
bool GetClipboardUnicodeText(std::wstring& text);
// DROPEFFECT_COPY when the clipboard names no preferred effect.
HRESULT GetClipboardDropEffect(DWORD& effect);
DWORD GetClipboardDropEffectOrThrow();
// True for DROPEFFECT_MOVE, false for DROPEFFECT_COPY; any other effect throws.
bool IsClipboardCut();
// The first of "Shell IDList Array" and CF_HDROP in the clipboard's own order.
HRESULT GetClipboardFileList(const CClipboardOpener& clipboard, std::list<std::wstring>& paths);
HRESULT ReadDropFiles(HGLOBAL data, std::list<std::wstring>& paths);
HRESULT ParseShellIdListArray(HGLOBAL data, std::vector<CItemIDList>& lists);
HRESULT ReadShellIdListArray(HGLOBAL data, std::list<std::wstring>& paths);
