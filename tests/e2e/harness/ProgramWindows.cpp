#include "ProgramWindows.h"

#include <algorithm>

namespace {

// The top-level windows of `process` with this class and title (null: any), in z-order.
std::vector<HWND> TopLevelWindows(DWORD process, const wchar_t* className, const wchar_t* title)
{
    std::vector<HWND> found;
    for (HWND hWnd = nullptr; (hWnd = ::FindWindowExW(nullptr, hWnd, className, title)) != nullptr;) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(hWnd, &owner);
        if (owner == process) found.push_back(hWnd);
    }
    return found;
}

} // namespace

// GetWindowText of another process's window reads only its caption, which an edit control
// does not keep: ask the window itself (the system carries WM_GETTEXT across processes).
std::wstring WindowText(HWND hWnd)
{
    wchar_t buffer[8192] = L"";
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hWnd, WM_GETTEXT, 8192, reinterpret_cast<LPARAM>(buffer), SMTO_ABORTIFHUNG, 2000,
                               &length))
        ::GetWindowTextW(hWnd, buffer, 8192);
    return buffer;
}

HWND WaitForFrame(DWORD process, bool visible, DWORD ms)
{
    HWND found = nullptr;
    const bool came = WaitUntil(
        [&] {
            const std::vector<HWND> windows = TopLevelWindows(process, nullptr, L"Fernhollow");
            found = windows.empty() ? nullptr : windows.back();
            return found && (::IsWindowVisible(found) != FALSE) == visible;
        },
        ms);
    for (int i = 0; came && !visible && i < 3; ++i) {
        DWORD_PTR result = 0;
        ::SendMessageTimeoutW(found, WM_NULL, 0, 0, SMTO_NORMAL, ms, &result);
    }
    return came ? found : nullptr;
}

std::vector<HWND> FindDialogs(DWORD process)
{
    std::vector<HWND> dialogs = TopLevelWindows(process, L"#32770", nullptr);
    dialogs.erase(std::remove_if(dialogs.begin(), dialogs.end(), [](HWND h) { return !::IsWindowVisible(h); }),
                  dialogs.end());
    return dialogs;
}

std::wstring DialogStaticTexts(HWND dialog)
{
    std::wstring texts;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[16] = L"";
        ::GetClassNameW(child, className, 16);
        if (_wcsicmp(className, L"Static") != 0) continue;
        const std::wstring text = WindowText(child);
        if (text.empty()) continue;
        if (!texts.empty()) texts += L"\n";
        texts += text;
    }
    return texts;
}

bool AnswerDialog(HWND dialog, int button)
{
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return WaitUntil([dialog] { return !::IsWindow(dialog) || !::IsWindowVisible(dialog); }, 5000);
}

std::vector<HWND> DialogsSeenOver(DWORD process, DWORD ms)
{
    std::vector<HWND> seen;
    for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < ms; ::Sleep(25))
        for (HWND dialog : FindDialogs(process))
            if (std::find(seen.begin(), seen.end(), dialog) == seen.end()) seen.push_back(dialog);
    return seen;
}
