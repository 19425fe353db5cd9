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

// Waits up to `ms` for the frame of `process` (the top-level window titled Fernhollow), visible
// or hidden as asked; null when there is none. A hidden frame is an armed start, which arms from a
// message posted while the frame was made: messages sent to the frame wait until its thread takes
// messages again, so a few round trips let a slow start reach its loop before this returns.
HWND WaitForFrame(DWORD process, bool visible, DWORD ms);

// The visible dialogs and message boxes (class "#32770") of `process`.
std::vector<HWND> FindDialogs(DWORD process);

// The text of a window, also of an edit control of another process; empty for null.
std::wstring WindowText(HWND hWnd);
// The texts of the dialog's static controls, in child order, joined by line feeds.
std::wstring DialogStaticTexts(HWND dialog);

// Presses a button of the dialog (IDOK, IDCANCEL, IDYES, IDNO...) and waits up to 5 s for the
// dialog to go; true when it went.
bool AnswerDialog(HWND dialog, int button);

// The distinct dialogs of `process` seen within `ms`, left open.
std::vector<HWND> DialogsSeenOver(DWORD process, DWORD ms);
