#include "DriveTestSupport.h"
#include "tests/support/RemoveFolderTree.h"

#include "shell/DriveMonitorInfo.h"

#include <gtest/gtest.h>

#include <shellapi.h>

namespace drivetest {

namespace {

std::wstring ModuleFolder()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.find_last_of(L"\\/"));
}

} // namespace

CTempFolder::CTempFolder()
{
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    static int serial = 0;
    m_path = std::wstring(temp) + L"fh-drives-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
             std::to_wstring(++serial);
    ::CreateDirectoryW(m_path.c_str(), nullptr);
}

CTempFolder::~CTempFolder()
{
    RemoveFolderTree(m_path);
    EXPECT_FALSE(Exists()) << "left behind";
}

std::wstring CTempFolder::Sub(const std::wstring& name) const
{
    const std::wstring path = m_path + L"\\" + name;
    ::CreateDirectoryW(path.c_str(), nullptr);
    return path;
}

bool CTempFolder::Exists() const { return ::GetFileAttributesW(m_path.c_str()) != INVALID_FILE_ATTRIBUTES; }

void PumpMessages(DWORD ms)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= ms) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, ms - elapsed, QS_ALLINPUT);
    }
}

int RunDriveTool(const std::wstring& args, std::string* output)
{
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE readPipe = nullptr, writePipe = nullptr;
    if (!::CreatePipe(&readPipe, &writePipe, &sa, 0)) return -1;
    ::SetHandleInformation(readPipe, HANDLE_FLAG_INHERIT, 0);
    // Announcements go to this process only, not to test programs running beside it.
    std::wstring command = L"\"" + ModuleFolder() + L"\\drivetool.exe\" " + args + L" --to " +
                           std::to_wstring(::GetCurrentProcessId());
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writePipe;
    si.hStdError = writePipe;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi = {};
    const BOOL started =
        ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi);
    ::CloseHandle(writePipe);
    if (!started) {
        ::CloseHandle(readPipe);
        return -1;
    }
    // The tool waits for each of our windows to take its message: keep dispatching meanwhile.
    const DWORD start = ::GetTickCount();
    while (::MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, 100, QS_ALLINPUT) != WAIT_OBJECT_0) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (::GetTickCount() - start > 30000) {
            ::TerminateProcess(pi.hProcess, 99);
            break;
        }
    }
    DWORD code = 0;
    ::GetExitCodeProcess(pi.hProcess, &code);
    std::string text;
    char buffer[256];
    DWORD read = 0;
    while (::ReadFile(readPipe, buffer, sizeof(buffer), &read, nullptr) && read) text.append(buffer, read);
    if (output) *output = text;
    ::CloseHandle(readPipe);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

std::vector<wchar_t> FindFreeLetters(size_t count)
{
    std::vector<wchar_t> letters;
    wchar_t root[] = L"A:\\";
    for (wchar_t letter = L'Y'; letter >= L'M' && letters.size() < count; --letter) {
        root[0] = letter;
        if (::GetDriveTypeW(root) == DRIVE_NO_ROOT_DIR) letters.push_back(letter);
    }
    return letters;
}

CTestDrive::CTestDrive(wchar_t letter, const std::wstring& folder, bool announce) : m_letter(letter)
{
    const std::wstring args = std::wstring(announce ? L"insert " : L"define ") + letter + L" \"" + folder + L"\"";
    m_defined = RunDriveTool(args) == 0;
}

CTestDrive::~CTestDrive()
{
    if (m_defined) Remove(false);
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
    ++m_deviceChanges;
    if (!m_monitor) return TRUE;
    return m_monitor->OnDeviceChange(wParam, reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam));
}

CEventLog::CEventLog(CDriveMonitor& monitor)
{
    using L = CMemfunEventListener<CEventLog>;
    monitor.m_attachedListeners.push_back(boost::shared_ptr<CEventListener>(new L(this, &CEventLog::OnAttached)));
    monitor.m_detachedListeners.push_back(boost::shared_ptr<CEventListener>(new L(this, &CEventLog::OnDetached)));
    monitor.m_arrivedListeners.push_back(boost::shared_ptr<CEventListener>(new L(this, &CEventLog::OnArrived)));
    monitor.m_removedListeners.push_back(boost::shared_ptr<CEventListener>(new L(this, &CEventLog::OnRemoved)));
    monitor.m_mediaArrivedListeners.push_back(
        boost::shared_ptr<CEventListener>(new L(this, &CEventLog::OnMediaArrived)));
    monitor.m_mediaRemovedListeners.push_back(
        boost::shared_ptr<CEventListener>(new L(this, &CEventLog::OnMediaRemoved)));
}

void CEventLog::Add(const wchar_t* name, void* record)
{
    m_events.emplace_back(name, static_cast<CDriveMonitorInfo*>(record)->m_driveMask);
}

std::vector<std::wstring> CEventLog::For(DWORD mask) const
{
    std::vector<std::wstring> result;
    for (const auto& event : m_events) {
        if (event.second & mask) result.push_back(event.first + L":" + UnitMaskToLetters(event.second));
    }
    return result;
}

} // namespace drivetest
