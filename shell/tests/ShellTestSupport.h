#pragma once
// Helpers for the shell tests: the exception an action throws; for the drive tests, removable drive
// letters defined over folders through Wine's mount manager and a hidden top-level window that
// feeds a drive monitor.
#include "foundation/Exception.h"
#include "shell/DriveMonitor.h"
#include "shell/ItemIDList.h"
#include "tests/drivetool/MountManager.h"
#include "tests/support/TempFolder.h"

#include <Window.h>
#include <WindowImpl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

// A list built by hand from records of the given payloads.
CItemIDList MakeItemIDList(const std::vector<std::string>& payloads);

// The exception `action` throws; a failure of the test when it throws none.
my::CException CaughtOf(const std::function<void()>& action);

inline DWORD LetterBit(wchar_t letter) { return 1u << (letter - L'A'); }

// Sends `window` what the system sends its top-level windows when the volumes of `mask` arrive
// or leave: WM_DEVICECHANGE with a DEV_BROADCAST_VOLUME.
LRESULT SendVolumeChange(HWND window, UINT event, DWORD mask);

// A private folder and two free letters (Y down to M) for removable drives defined over its
// sub-folders; the drives are removed before the folder.
class DriveTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Defines `letter` over the sub-folder `name` (made if missing); true on success.
    bool Define(wchar_t letter, const std::wstring& name);
    static bool Remove(wchar_t letter) { return RemoveDriveDefinition(letter) == ERROR_SUCCESS; }

    CTempFolder m_temp;
    wchar_t m_x = 0, m_y = 0;
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
