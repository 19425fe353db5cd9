#pragma once
// The message sink every error and question goes through.
#include "foundation/Exception.h"

#include <windows.h>

#include <list>
#include <string>
#include <vector>

class CMsg {
public:
    virtual ~CMsg() = default;

    virtual void ShowError(const CSimpleErr& err);
    virtual int Show(const std::wstring& text, UINT type);
    virtual bool ConfirmDiscard();
    virtual bool ConfirmCreateFolder(const std::wstring& path);
    virtual bool EnsureFolder(const std::wstring& path);
    virtual bool ConfirmOverwrite(const std::wstring& path);
    virtual bool ConfirmOverwriteIfExists(const std::wstring& path);
    virtual bool ConfirmOverwriteFiles(const std::vector<std::wstring>& names);
    virtual bool ConfirmOverwriteFiles(const std::list<std::wstring>& names);
    virtual bool ConfirmResetShortcutKeys();
    virtual bool ConfirmOverwriteShortcutKey(const std::wstring& keyText);
    virtual bool ConfirmContinueAfterError(const CSimpleErr& err);
    virtual bool ConfirmContinueAfterConfigError(const std::wstring& filePath, const CSimpleErr& err);
    virtual bool ConfirmNewerConfig();
    virtual bool ConfirmTerminatePrinting();

    static int ShowId(CMsg& sink, UINT id, UINT type);
    static int ShowFormatted1(CMsg& sink, UINT id, const std::wstring& a1, UINT type);
    static int ShowFormatted2(CMsg& sink, UINT id, const std::wstring& a1, const std::wstring& a2, UINT type);

    // Runs `operation`; whatever it throws becomes an error record that is shown through
    // `sink`, after the control it names (if any, and when `focus`) got the focus.
    template <class Operation> static bool RunGuarded(CMsg& sink, Operation&& operation, bool focus);

private:
    template <class Names> bool ConfirmOverwriteNames(const Names& names);
};

// Message boxes with the captions "Error" and "Query" of the string table.
class CMessageBoxMsg : public CMsg {
public:
    void ShowError(const CSimpleErr& err) override;
    int Show(const std::wstring& text, UINT type) override;
    // The window a box shown now is owned by: the active window, else m_hWndOwner.
    HWND Owner() const;

    HWND m_hWndOwner = nullptr;
};

// Shows every prompt through another sink with `extraType` added to its type, errors included
// (they go through Show, not through the other sink's ShowError): prompts that must come forward
// (MB_SETFOREGROUND | MB_TOPMOST) whichever sink shows them.
class CMsgWithType : public CMsg {
public:
    CMsgWithType(CMsg& inner, UINT extraType) : m_inner(inner), m_extraType(extraType) {}
    int Show(const std::wstring& text, UINT type) override { return m_inner.Show(text, type | m_extraType); }
    CMsg& Inner() const { return m_inner; }

private:
    CMsg& m_inner;
    UINT m_extraType;
};

// An owner's sink pointer, aimed at an embedded message-box sink unless someone repoints it.
class CMsgHolder {
public:
    CMsgHolder() : m_msg(&m_messageBox) {}
    CMsgHolder(const CMsgHolder&) = delete;
    CMsgHolder& operator=(const CMsgHolder&) = delete;

    CMsg* m_msg;
    CMessageBoxMsg m_messageBox;
};

// Keeps only the button results 1 to 4 (IDOK, IDCANCEL, IDABORT, IDRETRY); everything else is 0.
int NormalizeMessageBoxResult(int result);

// Stores the error record of the exception being handled, its control included.
void SetFromCurrentException(my::CCtrlException& err);

template <class Operation> bool CMsg::RunGuarded(CMsg& sink, Operation&& operation, bool focus)
{
    my::CCtrlException err(static_cast<HWND>(nullptr), 0);
    try {
        operation();
    } catch (...) {
        SetFromCurrentException(err);
    }
    if (!err.HasError()) return true;
    if (focus && err.m_hWnd) ::SetFocus(err.m_hWnd);
    sink.ShowError(err);
    return false;
}

namespace fhw {
// The application's sink.
class CMsg : public CMessageBoxMsg {};
} // namespace fhw

extern fhw::CMsg g_msg;
