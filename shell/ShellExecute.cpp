#include "shell/ShellExecute.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "foundation/ResString.h"
#include "foundation/UniqueHandle.h"
#include "foundation/Wine.h"
#include "ids/shellops.h"

#include <shellapi.h>
#include <shlwapi.h>

namespace {

const wchar_t* OrNull(const std::wstring& text) { return text.empty() ? nullptr : text.c_str(); }

} // namespace

DWORD ShellExecuteErrorToWin32(INT_PTR result)
{
    if (result > 32) return ERROR_SUCCESS;
    switch (result) {
    case 0:
    case SE_ERR_OOM: return ERROR_OUTOFMEMORY;
    case SE_ERR_FNF:
    case SE_ERR_PNF:
    case SE_ERR_ACCESSDENIED:
    case ERROR_BAD_FORMAT: return static_cast<DWORD>(result);
    case SE_ERR_SHARE: return ERROR_SHARING_VIOLATION;
    case SE_ERR_ASSOCINCOMPLETE:
    case SE_ERR_NOASSOC: return ERROR_NO_ASSOCIATION;
    case SE_ERR_DDETIMEOUT: return ERROR_TIMEOUT;
    case SE_ERR_DDEFAIL: return ERROR_DDE_FAIL;
    case SE_ERR_DDEBUSY: return ERROR_BUSY;
    case SE_ERR_DLLNOTFOUND: return ERROR_DLL_NOT_FOUND;
    default: return ERROR_INVALID_FUNCTION;
    }
}

INT_PTR ShellExecuteNoThrow(const std::wstring& file, const std::wstring& parameters)
{
    return reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, nullptr, file.c_str(), OrNull(parameters), nullptr, SW_SHOWNORMAL));
}

void ShellExecuteOrThrow(const std::wstring& file, const std::wstring& parameters)
{
    const DWORD error = ShellExecuteErrorToWin32(ShellExecuteNoThrow(file, parameters));
    if (error != ERROR_SUCCESS) {
        throw my::CException(IDS_SHELL_EXECUTE_FAILED, FailureFromWin32(error), file + L" " + parameters);
    }
}

void OpenExplorerSelect(const std::wstring& path)
{
    if (!::PathFileExistsW(path.c_str())) {
        throw my::CException(IDS_SHELL_EXECUTE_FAILED, FailureFromWin32(ERROR_PATH_NOT_FOUND), path);
    }
    // Wine's explorer told "/n," first shows the desktop, whatever follows; it opens a new window
    // each time anyway.
    const wchar_t* newWindow = RunningUnderWine() ? L"" : L"/n,";
    ShellExecuteOrThrow(L"EXPLORER.EXE", newWindow + (L"/select,\"" + path + L"\""));
}

HANDLE ShellExecuteExToProcess(const std::wstring& file, const std::wstring& parameters, const std::wstring& verb,
                               HWND owner, int show)
{
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = OrNull(verb);
    info.lpFile = file.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = show;
    if (!::ShellExecuteExW(&info)) return nullptr;
    return info.hProcess;
}

bool ShellExecuteExAndWait(const std::wstring& file, const std::wstring& parameters, const std::wstring& verb,
                           HWND owner, int show, DWORD* exitCode)
{
    const CUniqueKernelHandle process(ShellExecuteExToProcess(file, parameters, verb, owner, show));
    if (!process) return false;
    while (::WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT) ::Sleep(100);
    if (exitCode) {
        DWORD code = 0;
        ::GetExitCodeProcess(process.Get(), &code);
        *exitCode = code;
    }
    return true;
}

HANDLE RunAs(const std::wstring& file, const std::wstring& parameters, HWND owner, int show)
{
    return ShellExecuteExToProcess(file, parameters, L"runas", owner, show);
}

bool RunAsAndWait(const std::wstring& file, const std::wstring& parameters, HWND owner, int show, DWORD* exitCode)
{
    return ShellExecuteExAndWait(file, parameters, L"runas", owner, show, exitCode);
}
