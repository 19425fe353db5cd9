#include "shell/ShellNotifyIcon.h"

#include "foundation/CommandLine.h"
#include "foundation/NumberText.h"

#include <cwchar>
#include <iterator>

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
    // Wanted also when this add fails: started at login before the shell's notification area
    // exists, the icon comes with the area's "TaskbarCreated".
    m_wanted = true;
    if (!AddStored()) return false;
    m_added = 1;
    return true;
}

// The shell broadcasts "TaskbarCreated" when its notification area comes: at login, maybe after this
// program started, and after a restart (Explorer ended and started again), which forgets every
// icon. The icon asked for by Add comes with the same id, callback, icon and tip; one never asked
// for, or deleted, stays away.
// True when the icon is there afterwards; a failure keeps it owed, so that the next broadcast
// tries again. A balloon refused meanwhile is shown then.
bool CShellNotifyIcon::AddAgain()
{
    if (!m_wanted) return false;
    // A broadcast from elsewhere while the icon is still there: the shell refuses a second add.
    if (!AddStored() && !Notify(NIM_MODIFY, &m_data)) return false;
    m_added = 1;
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
    m_wanted = false;
    m_owedBalloon.reset();
    m_standingBalloon.reset();
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

bool CShellNotifyIcon::ShowBalloon(const std::wstring& title, const std::wstring& text, DWORD infoFlags, UINT timeoutMs,
                                   Balloon kind)
{
    CBalloon balloon{title, text, infoFlags, timeoutMs, ++m_lastBalloon, kind};
    // A newer balloon replaces the one shown (at once under Wine, after a second or so on Windows):
    // joined, the one before keeps its lines, first, and its title.
    if (const CBalloon* before = JoinedBefore(balloon)) {
        balloon.title = before->title;
        balloon.text = before->text + L"\n" + text;
        balloon.givenWay = before->givenWay;
    }
    FitLines(balloon, std::size(m_data.szInfo) - 1);
    // Owed from before the call: the call waits on the tray and dispatches the thread's notices
    // meanwhile (Wine handles a restarted shell's waiting "TaskbarCreated" there), and the icon added
    // again inside it shows this balloon. A refused call leaves it owed.
    if (m_wanted) m_owedBalloon = balloon;
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
    CopyField(data.szInfo, ShownText(balloon).c_str());
    if (!Notify(NIM_MODIFY, &data)) return false;
    // A shown balloon is owed no more; a newer one asked for during the call still is.
    if (m_owedBalloon && m_owedBalloon->ticket == balloon.ticket) m_owedBalloon.reset();
    m_shownBalloon = balloon.ticket;
    m_standingBalloon = balloon;
    m_standingSince = ::GetTickCount();
    return true;
}

const CShellNotifyIcon::CBalloon* CShellNotifyIcon::JoinedBefore(const CBalloon& balloon) const
{
    if (balloon.kind != Balloon::Joined) return nullptr;
    // The owed one is the latest asked for: one that stands alone is replaced.
    if (m_owedBalloon) return m_owedBalloon->kind == Balloon::Joined ? &*m_owedBalloon : nullptr;
    if (!m_standingBalloon || m_standingBalloon->kind != Balloon::Joined) return nullptr;
    return Stands() ? &*m_standingBalloon : nullptr;
}

// The user reads a question of the program, not the balloon: Wine draws none while the program's
// dialog or box stands (then one, for 10 s, after it closed), and on Windows the eye is on the
// question. So a balloon stands while one is open, and its time counts from when the last closed.
bool CShellNotifyIcon::Stands() const
{
    if (!m_standingBalloon) return false;
    return m_questions > 0 || ::GetTickCount() - m_standingSince < m_standingBalloon->timeoutMs;
}

void CShellNotifyIcon::QuestionOpened()
{
    // One whose time had passed before is not brought back.
    if (m_questions == 0 && !Stands()) m_standingBalloon.reset();
    ++m_questions;
}

void CShellNotifyIcon::QuestionClosed()
{
    if (m_questions == 0) return;
    if (--m_questions == 0) m_standingSince = ::GetTickCount();
}

std::wstring CShellNotifyIcon::ShownText(const CBalloon& balloon) const
{
    if (!balloon.givenWay || m_givenWayFormat.empty()) return balloon.text;
    std::wstring line;
    FormatIndexed(line, m_givenWayFormat, {ToWString(balloon.givenWay)}, L"{", L"}");
    return line + L"\n" + balloon.text;
}

// A last line longer than the field is cut by the copy into it; no balloon of the program's has one.
void CShellNotifyIcon::FitLines(CBalloon& balloon, size_t field) const
{
    while (ShownText(balloon).size() > field) {
        const size_t end = balloon.text.find(L'\n');
        if (end == std::wstring::npos) break;
        balloon.text.erase(0, end + 1);
        ++balloon.givenWay;
    }
}
