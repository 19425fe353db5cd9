#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>

namespace {

class CLogListener : public CEventListener {
public:
    CLogListener(const wchar_t* name, EventLog& log) : m_name(name), m_log(log) {}
    void OnEvent(void*, void* record) override
    {
        m_log.emplace_back(m_name, static_cast<CDriveMonitorInfo*>(record)->m_driveMask);
    }

private:
    const wchar_t* m_name;
    EventLog& m_log;
};

} // namespace

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

int RunDriveTool(const std::wstring& args)
{
    wchar_t exe[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, exe, MAX_PATH);
    const std::wstring self = exe;
    // Announcements go to this process only, not to test programs running beside it.
    std::wstring command = L"\"" + self.substr(0, self.find_last_of(L"\\/")) + L"\\drivetool.exe\" " +
                           args + L" --to " + std::to_wstring(::GetCurrentProcessId());
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &si, &pi))
        return -1;
    // The tool waits for each of our windows to take its message: keep dispatching meanwhile.
    const DWORD start = ::GetTickCount();
    while (::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        if (::GetTickCount() - start > 30000) {
            ::TerminateProcess(pi.hProcess, 99);
            ::WaitForSingleObject(pi.hProcess, 5000);
            break;
        }
    }
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

CTestDrive::CTestDrive(wchar_t letter, const std::wstring& folder, bool announce) : m_letter(letter)
{
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring verb = announce ? L"insert " : L"define ";
    m_defined = RunDriveTool(verb + letter + L" \"" + folder + L"\"") == 0;
}

CTestDrive::~CTestDrive()
{
    if (m_defined) Remove(false);
    const wchar_t root[] = {m_letter, L':', L'\\', 0};
    EXPECT_EQ(::GetDriveTypeW(root), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << "drive left defined";
}

bool CTestDrive::Remove(bool announce)
{
    const int code = RunDriveTool(std::wstring(announce ? L"remove " : L"undefine ") + m_letter);
    if (code == 0) m_defined = false;
    return code == 0;
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

void LogEvents(CDriveMonitor& monitor, EventLog& log)
{
    const std::pair<EventListenerList*, const wchar_t*> lists[] = {
        {&monitor.m_attachedListeners, L"attached"},
        {&monitor.m_detachedListeners, L"detached"},
        {&monitor.m_arrivedListeners, L"arrived"},
        {&monitor.m_removedListeners, L"removed"},
        {&monitor.m_mediaArrivedListeners, L"mediaArrived"},
        {&monitor.m_mediaRemovedListeners, L"mediaRemoved"},
    };
    for (const auto& [list, name] : lists)
        list->push_back(boost::shared_ptr<CEventListener>(new CLogListener(name, log)));
}

std::vector<std::wstring> EventsFor(const EventLog& log, DWORD mask)
{
    std::vector<std::wstring> result;
    for (const auto& [name, driveMask] : log) {
        if (driveMask & mask) result.push_back(name + L":" + UnitMaskToLetters(driveMask));
    }
    return result;
}
