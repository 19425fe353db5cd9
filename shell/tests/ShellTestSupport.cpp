#include "shell/tests/ShellTestSupport.h"

#include "tests/support/FreeDriveLetters.h"

#include <cstring>

CItemIDList MakeItemIDList(const std::vector<std::string>& payloads)
{
    std::string bytes;
    for (const std::string& payload : payloads) {
        const USHORT cb = static_cast<USHORT>(payload.size() + 2);
        bytes.append(reinterpret_cast<const char*>(&cb), 2);
        bytes += payload;
    }
    CItemIDList list;
    list.Alloc(static_cast<UINT>(bytes.size() + 2));
    std::memcpy(list.Get(), bytes.data(), bytes.size());
    return list;
}

my::CException CaughtOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const my::CException& e) {
        return e;
    }
    ADD_FAILURE() << "no exception";
    return my::CException();
}

LRESULT SendVolumeChange(HWND window, UINT event, DWORD mask)
{
    DEV_BROADCAST_VOLUME volume = {sizeof(volume), DBT_DEVTYP_VOLUME, 0, mask, 0};
    return ::SendMessageW(window, WM_DEVICECHANGE, event, reinterpret_cast<LPARAM>(&volume));
}

void DriveTest::SetUp()
{
    const std::vector<wchar_t> letters = FreeDriveLetters(2, L'Y', L'M');
    ASSERT_EQ(letters.size(), 2u) << "no free drive letters";
    m_x = letters[0];
    m_y = letters[1];
}

void DriveTest::TearDown()
{
    for (wchar_t letter : {m_x, m_y}) {
        const wchar_t root[] = {letter, L':', L'\\', 0};
        if (letter && ::GetDriveTypeW(root) != DRIVE_NO_ROOT_DIR) {
            EXPECT_TRUE(Remove(letter)) << "drive left defined";
        }
    }
}

bool DriveTest::Define(wchar_t letter, const std::wstring& name)
{
    const std::wstring folder = m_temp / name;
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::string unixFolder = ToUnixPath(folder);
    return !unixFolder.empty() && DefineRemovableDrive(letter, unixFolder) == ERROR_SUCCESS;
}

CDeviceWindow::CDeviceWindow(CDriveMonitor* monitor) : m_monitor(monitor)
{
    Create(nullptr, ATL::CWindow::rcDefault, L"fh drive test");
    if (m_monitor) m_monitor->m_hWnd = m_hWnd;
}

CDeviceWindow::~CDeviceWindow()
{
    if (m_hWnd) DestroyWindow();
}

LRESULT CDeviceWindow::OnDeviceChange(UINT, WPARAM wParam, LPARAM lParam, BOOL&)
{
    if (!m_monitor) return TRUE;
    return m_monitor->OnDeviceChange(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
}
