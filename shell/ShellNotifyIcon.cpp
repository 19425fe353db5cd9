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
    if (!Notify(NIM_ADD, &m_data)) {
        // A busy shell may answer with a time-out and still add the icon later.
        for (;;) {
            if (::GetLastError() != ERROR_TIMEOUT) return false;
            WaitBeforeRetry();
            if (Notify(NIM_MODIFY, &m_data)) break;
            if (Notify(NIM_ADD, &m_data)) break;
        }
    }
    m_added = 1;
    return true;
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
    return Notify(NIM_MODIFY, &data) != FALSE;
}
