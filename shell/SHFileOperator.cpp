#include "shell/SHFileOperator.h"

#include "foundation/Exception.h"
#include "foundation/FileList.h"
#include "foundation/NumberText.h"
#include "foundation/PathHelpers.h"
#include "foundation/ResString.h"
#include "foundation/ScopeExit.h"
#include "ids/shellops.h"
#include "shell/ItemIDList.h"
#include "shell/ShellLink.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <boost/regex.hpp>

#include <climits>
#include <cstdlib>

namespace {

// Both the documented and the legacy cancel answers of SHFileOperationW.
constexpr int kDeOpCancelled = 0x75;

const size_t kMaxListedFailures = 10;

// The name a shortcut of `item` gets and the first number to try; -1 tries the bare name first.
void ShortcutName(const std::wstring& item, const boost::wregex& numbered, std::wstring& name, int& n)
{
    std::wstring base, extension;
    if (!SplitFileExtension(item, base, extension) || base.empty()) {
        throw my::CException(IDS_FILENAME_MISSING, item);
    }
    n = -1;
    if (extension.empty()) {
        name = base;
    } else if (!EqualsIgnoreCase(extension, L"lnk")) {
        name = base + L"." + extension;
    } else {
        name = base;
        boost::wsmatch match;
        if (boost::regex_search(base, match, numbered)) {
            const std::wstring digits = match[1].str();
            // Numbers too large to count on are kept as part of the name.
            if (digits.size() <= 9) {
                name = base.substr(0, static_cast<size_t>(match.position(static_cast<boost::wsmatch::size_type>(0))));
                n = static_cast<int>(std::wcstol(digits.c_str(), nullptr, 10));
            }
        }
    }
}

void MakeShortcut(const std::wstring& item, const std::wstring& folder, FILEOP_FLAGS flags,
                  const boost::wregex& numbered)
{
    CShellLink link;
    link.Create();
    link.SetPathOrThrow(item);

    std::wstring name;
    int n = -1;
    ShortcutName(item, numbered, name, n);
    std::wstring stem = folder;
    const wchar_t last = stem.empty() ? L'\0' : stem.back();
    if (last != L'\\' && last != L'/' && last != L':') stem.push_back(L'\\');
    stem += name;

    for (;;) {
        std::wstring candidate = stem;
        if (n >= 0) {
            candidate += L" (" + std::to_wstring(n) + L")";
        } else {
            n = 0;
        }
        candidate += L".lnk";
        if (!::PathFileExistsW(candidate.c_str())) {
            link.Save(candidate);
            return;
        }
        if (!(flags & FOF_RENAMEONCOLLISION)) throw my::CException(IDS_FILE_ALREADY_EXISTS, candidate);
        ++n;
    }
}

} // namespace

CFileOperationResult::Outcome CFileOperationResult::GetOutcome() const
{
    if (m_error.HasError()) return Failed;
    if (!m_ran) return None;
    if (m_aborted || m_result == ERROR_CANCELLED || m_result == kDeOpCancelled) return Cancelled;
    return m_result == 0 ? Completed : Failed;
}

CFileOperationResult CSHFileOperator::Execute()
{
    m_last = CFileOperationResult();
    // The focus goes back to the owner once the shell's dialogs are gone, also when an exception leaves.
    const auto refocus = ScopeExit([owner = m_hWnd] {
        if (!owner) return;
        ::Sleep(100);
        ::SetFocus(owner);
    });
    auto dispatch = [this] {
        try {
            Dispatch(m_last);
        } catch (...) {
            SetFromCurrentException(m_last.m_error);
            throw;
        }
    };
    if (m_fFlags & FOF_NOERRORUI) {
        dispatch();
    } else {
        CMsg::RunGuarded(*m_sink.m_msg, dispatch, true);
    }
    return m_last;
}

void CSHFileOperator::Dispatch(CFileOperationResult& result)
{
    if (m_wFunc == 0) return;
    if (m_wFunc == FO_MAKE_SHORTCUTS) {
        result.m_ran = true;
        ExecuteLinkImpl();
    } else {
        ExecuteImpl(result);
    }
}

void CSHFileOperator::ExecuteImpl(CFileOperationResult& result)
{
    std::wstring from;
    ListToMultiString(m_from, from);
    std::wstring to;
    ListToMultiString(std::list<std::wstring>{m_to}, to);

    SHFILEOPSTRUCTW op = {};
    op.hwnd = m_hWnd;
    op.wFunc = (m_wFunc >= FO_MOVE && m_wFunc <= FO_RENAME) ? m_wFunc : 0;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = m_fFlags;
    result.m_ran = true;
    result.m_result = ::SHFileOperationW(&op);
    result.m_aborted = op.fAnyOperationsAborted != FALSE;
    if (result.m_result != 0 && (m_fFlags & FOF_NOERRORUI)) {
        throw my::CException(IDS_FILE_OPERATION_FAILED, ToHexWString(static_cast<unsigned int>(result.m_result)));
    }
}

void CSHFileOperator::ExecuteLinkImpl()
{
    if (m_from.empty() || m_to.empty()) {
        ThrowInternalError(L"CSHFileOperator::ExecuteLinkImpl\nInvalid args m_from or m_to");
    }
    // \d would also take full-width digits here, which are no number we could count up.
    static const boost::wregex numbered(L" \\(([0-9]+)\\)$");
    std::list<std::wstring> failed;
    for (const std::wstring& item : m_from) {
        try {
            MakeShortcut(item, m_to, m_fFlags, numbered);
        } catch (...) {
            failed.push_back(item);
        }
    }
    if (failed.empty()) return;
    throw my::CException(IDS_SHORTCUT_COPY_FAILED, ListFirstLines(failed, kMaxListedFailures));
}

void CSHFileOperator::SetFromClipboard(const std::wstring& destination, bool asLink)
{
    CClipboard clipboard(m_hWnd);
    const DWORD effect = GetClipboardDropEffectOrThrow();
    const bool copy = (effect & DROPEFFECT_COPY) != 0;
    const bool move = (effect & DROPEFFECT_MOVE) != 0;
    const bool link = (effect & DROPEFFECT_LINK) != 0;
    if (asLink && !copy && !link) throw my::CException(IDS_DROP_EFFECT_NO_LINK);
    if (!copy && !move && !link) throw my::CException(IDS_DROP_EFFECT_NO_ACTION);

    // No file list on the clipboard is nothing to paste, not a list that could not be read.
    if (!::IsClipboardFormatAvailable(CF_HDROP) &&
        !::IsClipboardFormatAvailable(::RegisterClipboardFormatW(kShellIdListFormat)))
        throw my::CException(IDS_PASTE_NOTHING);
    std::list<std::wstring> files;
    const HRESULT hr = GetClipboardFileList(clipboard, files);
    if (FAILED(hr)) throw my::CException(IDS_CLIPBOARD_DATA_FAILED, hr);
    if (files.empty()) throw my::CException(IDS_PASTE_NOTHING);
    m_from.swap(files);
    m_to = destination;

    if (!asLink && copy) {
        m_wFunc = FO_COPY;
        m_fFlags = FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION;
    } else if (!asLink && !link) {
        m_wFunc = FO_MOVE;
        m_fFlags = FOF_ALLOWUNDO;
    } else {
        m_wFunc = FO_MAKE_SHORTCUTS;
        m_fFlags = FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION;
    }
    clipboard.Close();
}
