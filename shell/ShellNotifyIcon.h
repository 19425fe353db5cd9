#pragma once
// One icon in the notification area: added, removed and showing balloons through
// Shell_NotifyIconW, retrying while the shell answers with a time-out.
#include <windows.h>

#include <shellapi.h>

#include <optional>
#include <string>

class CShellNotifyIcon {
public:
    CShellNotifyIcon();
    // Does not remove the icon: the owner calls Delete first.
    virtual ~CShellNotifyIcon() = default;
    CShellNotifyIcon(const CShellNotifyIcon&) = delete;
    CShellNotifyIcon& operator=(const CShellNotifyIcon&) = delete;

    // How a balloon meets the one before it.
    enum class Balloon {
        Joined, // a line, or lines, joined with the one before while that is owed or still stands
        Alone,  // replaces the one before, and is never joined
    };

    bool Add(HWND hWnd, UINT id, UINT callbackMessage, HICON icon, const wchar_t* tip);
    bool AddAgain();
    bool Delete();
    // False when the shell refused it and the icon added again during the call did not show it. It
    // is owed from before the call until it has been shown, and shown once, by AddAgain (a shell
    // that restarted has forgotten the icon), also by one inside the call; Delete drops it.
    bool ShowBalloon(const std::wstring& title, const std::wstring& text, DWORD infoFlags, UINT timeoutMs,
                     Balloon kind = Balloon::Joined);
    // A question of the program opens (a dialog or box the user reads), or closes: counted, they
    // may nest.
    void QuestionOpened();
    void QuestionClosed();
    // The line that tells how many lines of a joined balloon gave way to the field's size; {0} is
    // their count. Empty: they give way untold.
    void SetGivenWayFormat(const std::wstring& format) { m_givenWayFormat = format; }
    UINT GetId() const { return m_data.uID; }
    bool IsAdded() const { return m_added != 0; }

    // The registered message that the shell broadcasts to top-level windows when its taskbar is
    // created (again); 0 when it could not be registered. Message-only windows do not get it.
    static UINT TaskbarCreatedMessage();

protected:
    // The one place the shell is called; the last error is the shell's.
    virtual BOOL Notify(DWORD message, NOTIFYICONDATAW* data);
    // Waits before retrying after a time-out.
    virtual void WaitBeforeRetry();

private:
    // NIM_ADD with the stored data, retried while the shell times out.
    bool AddStored();

    struct CBalloon {
        std::wstring title, text;
        DWORD infoFlags;
        UINT timeoutMs;
        unsigned ticket; // which ShowBalloon asked for it
        Balloon kind;
        unsigned long givenWay = 0; // lines of its text that gave way to the field's size
    };
    // NIM_MODIFY with the balloon; true when the shell took it.
    bool ShowStored(const CBalloon& balloon);
    // The joined balloon still owed, or still standing, that `balloon` joins; null when none.
    const CBalloon* JoinedBefore(const CBalloon& balloon) const;
    // Whether the balloon the shell took last still stands.
    bool Stands() const;
    // The text the balloon shows: its lines, after the one that tells how many gave way.
    std::wstring ShownText(const CBalloon& balloon) const;
    // The first lines of `balloon` give way, whole, until what it shows fits in `field` characters.
    void FitLines(CBalloon& balloon, size_t field) const;

    DWORD m_added = 0;
    bool m_wanted = false; // from Add, whatever it gave, to Delete
    NOTIFYICONDATAW m_data;
    std::optional<CBalloon> m_owedBalloon;
    std::optional<CBalloon> m_standingBalloon; // the latest the shell took
    DWORD m_standingSince = 0;                 // when it took it, or the last question closed after
    unsigned m_lastBalloon = 0;                // the ticket of the latest balloon asked for
    unsigned m_shownBalloon = 0;               // the ticket of the latest balloon shown
    unsigned m_questions = 0;                  // questions of the program open
    std::wstring m_givenWayFormat;
};
