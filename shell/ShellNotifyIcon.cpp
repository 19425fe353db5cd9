#include "shell/ShellNotifyIcon.h"

#include <cwchar>

namespace {

// Copies at most the field's size less one and always terminates.
template <size_t N> void CopyField(wchar_t (&field)[N], const wchar_t* text)
{
    size_t length = text ? std::wcslen(text) : 0;
    if (length > N - 1) length = N - 1;
    if (length) std::wmemcpy(field, text, length);
    field[length] = L'\0';
}

} // namespace

CShellNotifyIcon::CShellNotifyIcon() : m_data() {}

BOOL CShellNotifyIcon::Notify(DWORD message, NOTIFYICONDATAW* data) { return ::Shell_NotifyIconW(message, data); }

void CShellNotifyIcon::WaitBeforeRetry() { ::Sleep(1000); }

bool CShellNotifyIcon::Add(HWND hWnd, UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip)
{
    m_data.cbSize = sizeof(m_data);
    m_data.hWnd = hWnd;
    m_data.uID = id;
    m_data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    m_data.uCallbackMessage = callbackMessage;
    m_data.hIcon = icon;
    CopyField(m_data.szTip, tip);
    if (!AddStored()) return false;
    m_added = 1;
    return true;
}

// A shell that restarts (Explorer ended and started again) forgets every icon and then broadcasts
// "TaskbarCreated": the icon that was added comes back with the same id, callback, icon and tip.
// One never added, or deleted, stays away. True when the icon is there afterwards; a failure keeps
// it owed, so that the next broadcast tries again. A balloon refused meanwhile is shown then.
bool CShellNotifyIcon::AddAgain()
{
    if (!m_added) return false;
    // A broadcast from elsewhere while the icon is still there: the shell refuses a second add.
    if (!AddStored() && !Notify(NIM_MODIFY, &m_data)) return false;
    if (m_owedBalloon) {
        const CBalloon owed = *m_owedBalloon;
        ShowStored(owed);
    }
    return true;
}

bool CShellNotifyIcon::AddStored()
{
    if (Notify(NIM_ADD, &m_data)) return true;
    // A busy shell may answer with a time-out and still add the icon later.
    for (;;) {
        if (::GetLastError() != ERROR_TIMEOUT) return false;
        WaitBeforeRetry();
        if (Notify(NIM_MODIFY, &m_data)) return true;
        if (Notify(NIM_ADD, &m_data)) return true;
    }
}

UINT CShellNotifyIcon::TaskbarCreatedMessage()
{
    static const UINT message = ::RegisterWindowMessageW(L"TaskbarCreated");
    return message;
}

bool CShellNotifyIcon::Delete()
{
    // Dropped also when the shell refuses the delete (it may have forgotten the icon): the owner
    // wants the icon gone, and its balloon must not come with a later add.
    m_owedBalloon.reset();
    if (!m_added) return true;
    if (!Notify(NIM_DELETE, &m_data)) {
        for (;;) {
            if (::GetLastError() != ERROR_TIMEOUT) return false;
            WaitBeforeRetry();
            if (!Notify(NIM_MODIFY, &m_data)) break; // already gone
            if (Notify(NIM_DELETE, &m_data)) break;
        }
    }
    m_added = 0;
    return true;
}

bool CShellNotifyIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, DWORD infoFlags, UINT timeoutMs)
{
    // Owed from before the call: the call waits on the tray and dispatches the thread's notices
    // meanwhile (Wine handles a restarted shell's waiting "TaskbarCreated" there), and the icon added
    // again inside it shows this balloon. A refused call leaves it owed.
    const CBalloon balloon{title, text, infoFlags, timeoutMs, ++m_lastBalloon};
    if (m_added) m_owedBalloon = balloon;
    if (ShowStored(balloon)) return true;
    // Shown by the icon added again during the call.
    return m_shownBalloon == balloon.ticket;
}

bool CShellNotifyIcon::ShowStored(const CBalloon& balloon)
{
    NOTIFYICONDATAW data = m_data;
    data.uFlags |= NIF_INFO;
    data.uTimeout = balloon.timeoutMs;
    data.dwInfoFlags = balloon.infoFlags;
    CopyField(data.szInfoTitle, balloon.title.c_str());
    CopyField(data.szInfo, balloon.text.c_str());
    if (!Notify(NIM_MODIFY, &data)) return false;
    // A shown balloon is owed no more; a newer one asked for during the call still is.
    if (m_owedBalloon && m_owedBalloon->ticket == balloon.ticket) m_owedBalloon.reset();
    m_shownBalloon = balloon.ticket;
    return true;
}
