#pragma once
// The windows of another process seen from outside: its frame, its dialogs and message boxes.
#include <windows.h>

#include <string>
#include <vector>

// Polls `done` every 25 ms for up to `ms`; true when it came true.
template <class Done> bool WaitUntil(Done done, DWORD ms)
{
    for (const DWORD start = ::GetTickCount(); !done(); ::Sleep(25))
        if (::GetTickCount() - start >= ms) return false;
    return true;
}

// Waits up to `ms` for the top-level window of `process` titled `title`, visible or hidden as
// asked; null when there is none.
HWND WaitForTopLevel(DWORD process, const std::wstring& title, bool visible, DWORD ms);

// The visible dialogs and message boxes (class "#32770") of `process`.
std::vector<HWND> FindDialogs(DWORD process);
// Waits up to `ms` for one; null when none came.
HWND WaitForDialog(DWORD process, DWORD ms);

std::wstring WindowText(HWND hWnd);
// The texts of the dialog's static controls, in child order, joined by line feeds.
std::wstring DialogStaticTexts(HWND dialog);
// The text of the child control `id`.
std::wstring DialogItemText(HWND dialog, int id);
bool IsDlgButtonTicked(HWND dialog, int id);

// Presses a button of the dialog (IDOK, IDCANCEL, IDYES, IDNO...).
void AnswerDialog(HWND dialog, int button);
// Waits until the window is gone or hidden; true when it went within `ms`.
bool WaitGone(HWND hWnd, DWORD ms);

// Counts the distinct dialogs of `process` that appear within `ms`, leaving them open.
size_t CountDialogsOver(DWORD process, DWORD ms, std::vector<HWND>* seen = nullptr);
