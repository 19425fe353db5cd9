#include "ui/Msg.h"

#include "foundation/FolderCreation.h"
#include "foundation/NumberText.h"
#include "foundation/ResString.h"
#include "ids/ui.h"

#include <shlwapi.h>

fhw::CMsg g_msg;

namespace {
constexpr UINT kOkCancelExclamation = MB_OKCANCEL | MB_ICONEXCLAMATION;

bool AskOk(CMsg& sink, UINT id) { return CMsg::ShowId(sink, id, kOkCancelExclamation) == IDOK; }
bool AskOk(CMsg& sink, UINT id, const std::wstring& a1)
{
    return CMsg::ShowFormatted1(sink, id, a1, kOkCancelExclamation) == IDOK;
}
} // namespace

void CMsg::ShowError(const CSimpleErr& err) { Show(err.m_message, MB_ICONERROR); }

int CMsg::Show(const std::wstring& text, UINT type) { return ::MessageBoxW(nullptr, text.c_str(), L"", type); }

bool CMsg::ConfirmDiscard() { return AskOk(*this, IDS_CONFIRM_DISCARD); }
bool CMsg::ConfirmCreateFolder(const std::wstring& path) { return AskOk(*this, IDS_CONFIRM_CREATE_FOLDER, path); }
// Asks, then creates the whole folder tree; the caller has found that it is missing.
bool CMsg::EnsureFolder(const std::wstring& path)
{
    if (!ConfirmCreateFolder(path)) return false;
    return RunGuarded(
        *this, [&path] { files::CreateFolderOrThrow(path); }, true);
}

bool CMsg::ConfirmOverwrite(const std::wstring& path) { return AskOk(*this, IDS_CONFIRM_OVERWRITE, path); }

bool CMsg::ConfirmOverwriteIfExists(const std::wstring& path)
{
    if (!::PathFileExistsW(path.c_str())) return true;
    return ConfirmOverwrite(path);
}

template <class Names> bool CMsg::ConfirmOverwriteNames(const Names& names)
{
    std::wstring list;
    size_t shown = 0;
    for (const std::wstring& name : names) {
        if (shown == 10) {
            list += L"\r\n...";
            break;
        }
        if (shown) list += L"\r\n";
        list += name;
        ++shown;
    }
    const std::wstring count = ToWString(static_cast<unsigned long>(names.size()));
    return ShowFormatted2(*this, IDS_CONFIRM_OVERWRITE_FILES, count, list, kOkCancelExclamation) == IDOK;
}

bool CMsg::ConfirmOverwriteFiles(const std::vector<std::wstring>& names) { return ConfirmOverwriteNames(names); }
bool CMsg::ConfirmOverwriteFiles(const std::list<std::wstring>& names) { return ConfirmOverwriteNames(names); }
bool CMsg::ConfirmResetShortcutKeys() { return AskOk(*this, IDS_CONFIRM_RESET_SHORTCUT_KEYS); }
bool CMsg::ConfirmOverwriteShortcutKey(const std::wstring& keyText)
{
    return AskOk(*this, IDS_CONFIRM_OVERWRITE_SHORTCUT_KEY, keyText);
}
bool CMsg::ConfirmContinueAfterError(const CSimpleErr& err)
{
    return AskOk(*this, IDS_CONFIRM_CONTINUE_AFTER_ERROR, err.m_message);
}
bool CMsg::ConfirmContinueAfterConfigError(const std::wstring& filePath, const CSimpleErr& err)
{
    return ShowFormatted2(*this, IDS_CONFIRM_CONFIG_ERROR, filePath, err.m_message, kOkCancelExclamation) == IDOK;
}
bool CMsg::ConfirmNewerConfig() { return AskOk(*this, IDS_CONFIRM_NEWER_CONFIG); }
bool CMsg::ConfirmTerminatePrinting()
{
    return ShowId(*this, IDS_CONFIRM_TERMINATE_PRINTING, MB_YESNO | MB_ICONEXCLAMATION) == IDYES;
}

int CMsg::ShowId(CMsg& sink, UINT id, UINT type)
{
    std::wstring text;
    if (id) LoadResString(text, id);
    return sink.Show(text, type);
}

int CMsg::ShowFormatted1(CMsg& sink, UINT id, const std::wstring& a1, UINT type)
{
    std::wstring text;
    FormatResString(text, id, a1.c_str());
    return sink.Show(text, type);
}

int CMsg::ShowFormatted2(CMsg& sink, UINT id, const std::wstring& a1, const std::wstring& a2, UINT type)
{
    std::wstring text;
    FormatResString(text, id, a1.c_str(), a2.c_str());
    return sink.Show(text, type);
}

void CMessageBoxMsg::ShowError(const CSimpleErr& err) { Show(err.m_message, MB_ICONERROR); }

int CMessageBoxMsg::Show(const std::wstring& text, UINT type)
{
    // Loaded once per process, on the first prompt.
    static const std::wstring errorCaption = LoadResString(IDS_CAPTION_ERROR);
    static const std::wstring queryCaption = LoadResString(IDS_CAPTION_QUERY);
    const std::wstring& caption = (type & MB_ICONMASK) == MB_ICONERROR ? errorCaption : queryCaption;
    return ::MessageBoxW(Owner(), text.c_str(), caption.c_str(), type);
}

HWND CMessageBoxMsg::Owner() const
{
    const HWND active = ::GetActiveWindow();
    return active ? active : m_hWndOwner;
}

int NormalizeMessageBoxResult(int result) { return result >= 1 && result <= 4 ? result : 0; }

void SetFromCurrentException(my::CCtrlException& err)
{
    try {
        throw;
    } catch (const my::CCtrlException& e) {
        err = e;
    } catch (...) {
        SetFromCurrentException(static_cast<CSimpleErr&>(err));
        err.m_hWnd = nullptr;
    }
}
