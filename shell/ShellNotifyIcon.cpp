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
        ShowBalloon(owed.title, owed.text, owed.infoFlags, owed.timeoutMs);
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
    m_owedBalloon.reset();
    return true;
}

bool CShellNotifyIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, DWORD infoFlags, UINT timeoutMs)
{
    NOTIFYICONDATAW data = m_data;
    data.uFlags |= NIF_INFO;
    data.uTimeout = timeoutMs;
    data.dwInfoFlags = infoFlags;
    CopyField(data.szInfoTitle, title.c_str());
    CopyField(data.szInfo, text.c_str());
    if (Notify(NIM_MODIFY, &data)) {
        m_owedBalloon.reset();
        return true;
    }
    // Under Wine the taskbar's "TaskbarCreated" is handled only after the run that shows its result.
    if (m_added) m_owedBalloon = CBalloon{title, text, infoFlags, timeoutMs};
    return false;
}
