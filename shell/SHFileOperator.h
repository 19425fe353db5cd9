#pragma once
// Moves, copies, deletes or renames a list of items through the shell's own file operation (its
// progress dialog, conflict questions and undo apply), or makes shortcuts of them in a folder.
#include "foundation/SimpleErr.h"
#include "shell/Clipboard.h"
#include "ui/Msg.h"

#include <windows.h>

#include <shellapi.h>

#include <list>
#include <string>

// The operation beside the shell's FO_MOVE, FO_COPY, FO_DELETE and FO_RENAME.
constexpr UINT FO_MAKE_SHORTCUTS = 5;

// What one run of the operator did, so that a caller can tell a finished operation from a
// cancelled, failed or partial one.
struct CFileOperationResult {
    // None: no operation was set. Cancelled: the shell stopped before everything was done (the
    // user's No or Cancel); what was done before stays. Failed: the shell or the operator failed,
    // possibly after part of the work (shortcuts made before a failed item stay).
    enum Outcome { None, Completed, Cancelled, Failed };

    bool m_ran = false;     // the shell's operation was called
    int m_result = 0;       // what SHFileOperationW returned
    bool m_aborted = false; // its fAnyOperationsAborted
    CSimpleErr m_error;     // a failure of our own (bad arguments, failed shortcuts...)

    Outcome GetOutcome() const;
    bool Succeeded() const { return GetOutcome() == Completed; }
};

class CSHFileOperator {
public:
    explicit CSHFileOperator(HWND owner = nullptr) : m_hWnd(owner) {}
    CSHFileOperator(const CSHFileOperator&) = delete;
    CSHFileOperator& operator=(const CSHFileOperator&) = delete;

    // With FOF_NOERRORUI failures are thrown, otherwise shown through the sink; either way the
    // result tells what happened (it is also kept in m_last when an exception leaves).
    CFileOperationResult Execute();
    void SetFromClipboard(const std::wstring& destination, bool asLink);

    CMsgHolder m_sink;
    HWND m_hWnd;
    UINT m_wFunc = 0;
    FILEOP_FLAGS m_fFlags = 0;
    std::list<std::wstring> m_from;
    std::wstring m_to;
    CFileOperationResult m_last;

private:
    void Dispatch(CFileOperationResult& result);
    void ExecuteImpl(CFileOperationResult& result);
    void ExecuteLinkImpl();
};
