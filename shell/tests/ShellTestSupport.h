#pragma once
// Helpers for the shell tests: the exception an action throws; for the drive tests, removable drive
// letters defined over folders through drivetool.exe, a hidden top-level window that feeds a drive
// monitor, and a log of the monitor's events.
#include "foundation/Exception.h"
#include "shell/DriveMonitor.h"
#include "tests/support/FreeDriveLetters.h"
#include "tests/support/TempFolder.h"

#include <Window.h>
#include <WindowImpl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

// The exception `action` throws; a failure of the test when it throws none.
my::CException CaughtOf(const std::function<void()>& action);

// Runs drivetool.exe with `args`, dispatching this thread's messages until it ends, so that the
// WM_DEVICECHANGE it sends to our windows is delivered; returns its exit code (-1 when not run).
int RunDriveTool(const std::wstring& args);

// Letters free for a test drive, from Y down to M.
inline std::vector<wchar_t> FindFreeLetters(size_t count) { return FreeDriveLetters(count, L'Y', L'M'); }

inline DWORD LetterBit(wchar_t letter) { return 1u << (letter - L'A'); }

// A removable drive letter over `folder` (made if missing) for the life of the object.
class CTestDrive {
public:
    CTestDrive(wchar_t letter, const std::wstring& folder, bool announce);
    ~CTestDrive();
    bool Defined() const { return m_defined; }
    bool Remove(bool announce); // true when drivetool succeeded

private:
    wchar_t m_letter;
    bool m_defined = false;
};

// A private folder and two free letters for drives defined over it; the folder outlives them.
class DriveTest : public testing::Test {
protected:
    void SetUp() override
    {
        m_letters = FindFreeLetters(2);
        ASSERT_EQ(m_letters.size(), 2u) << "no free drive letters";
        m_x = m_letters[0];
    }

    CTempFolder m_temp;
    std::vector<wchar_t> m_letters;
    wchar_t m_x = 0;
};

// Hidden top-level window that forwards WM_DEVICECHANGE to a monitor, as the program's frame does.
class CDeviceWindow : public ATL::CWindowImpl<CDeviceWindow, ATL::CWindow,
                                              ATL::CWinTraits<WS_OVERLAPPED | WS_CAPTION, WS_EX_TOOLWINDOW>> {
public:
    explicit CDeviceWindow(CDriveMonitor* monitor = nullptr);
    ~CDeviceWindow();

    BEGIN_MSG_MAP(CDeviceWindow)
    MESSAGE_HANDLER(WM_DEVICECHANGE, OnDeviceChange)
    END_MSG_MAP()

    LRESULT OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&);

private:
    CDriveMonitor* m_monitor;
};

// Every event of a monitor with the drive mask of its record, in order. The log must outlive the
// monitor, whose destructor still reports detaching.
using EventLog = std::vector<std::pair<std::wstring, DWORD>>;
void LogEvents(CDriveMonitor& monitor, EventLog& log);

// "<event>:<letters>" for the events that name one of the letters of `mask` (other drives in the
// prefix are left out).
std::vector<std::wstring> EventsFor(const EventLog& log, DWORD mask);
