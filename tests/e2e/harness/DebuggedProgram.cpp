#include "DebuggedProgram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

const char kBalloonTag[] = "fernhollow-balloon\t";
const char kRunTag[] = "fernhollow-run";

// Wine's process creation has been seen to fail once in a while on a loaded machine (a CI run
// with two cores); a second attempt is not the program's doing, so it is retried, loudly.
bool CreateProcessRetried(std::wstring commandLine, DWORD flags, PROCESS_INFORMATION& info)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    for (int attempt = 1;; ++attempt) {
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr, &startup,
                             &info))
            return true;
        const DWORD error = ::GetLastError();
        std::fprintf(stderr, "CreateProcessW failed with error %lu%s\n", error, attempt < 3 ? "; trying again" : "");
        if (attempt == 3) return false;
        ::Sleep(500);
    }
}

} // namespace

std::wstring ProgramPath()
{
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return (std::filesystem::path(self).parent_path().parent_path() / L"fernhollow.exe").wstring();
}

CDebuggedProgram::~CDebuggedProgram()
{
    {
        std::unique_lock lock(m_lock);
        if (!m_exited && m_process) ::TerminateProcess(m_process, 99);
    }
    if (m_thread.joinable()) m_thread.join();
}

bool CDebuggedProgram::Start(const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + ProgramPath() + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    m_thread = std::thread([this, commandLine] { Loop(commandLine); });
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [this] { return m_started || m_exited; });
    return m_started;
}

long CDebuggedProgram::WaitExit(DWORD ms)
{
    std::unique_lock lock(m_lock);
    const bool ended = m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_exited; });
    return ended && m_started ? static_cast<long>(m_exitCode) : -1;
}

std::vector<Balloon> CDebuggedProgram::Balloons()
{
    std::unique_lock lock(m_lock);
    return m_balloons;
}

std::vector<DWORD> CDebuggedProgram::RunStarts()
{
    std::unique_lock lock(m_lock);
    return m_runStarts;
}

size_t CDebuggedProgram::WaitBalloons(size_t count, DWORD ms)
{
    std::unique_lock lock(m_lock);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                       [this, count] { return m_balloons.size() >= count || m_exited; });
    return m_balloons.size();
}

// The debugger sees the narrow copy of the program's wide debug strings (in the ANSI code page).
void CDebuggedProgram::OnDebugString(HANDLE process, const OUTPUT_DEBUG_STRING_INFO& info)
{
    std::string bytes(std::min<size_t>(info.nDebugStringLength, 65536), '\0');
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, info.lpDebugStringData, bytes.data(), bytes.size(), &read)) return;
    bytes.resize(std::min<size_t>(read, bytes.find('\0')));
    if (bytes == kRunTag) {
        std::unique_lock lock(m_lock);
        m_runStarts.push_back(::GetTickCount());
        return;
    }
    if (bytes.compare(0, strlen(kBalloonTag), kBalloonTag) != 0) return;
    bytes.erase(0, strlen(kBalloonTag));
    std::wstring text(bytes.size(), L'\0');
    text.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()),
                                                          text.data(), static_cast<int>(text.size()))));
    const size_t tab = text.find(L'\t');
    std::unique_lock lock(m_lock);
    m_balloons.push_back(
        Balloon{text.substr(0, tab), tab == std::wstring::npos ? L"" : text.substr(tab + 1), ::GetTickCount()});
    m_changed.notify_all();
}

void CDebuggedProgram::Loop(std::wstring commandLine)
{
    PROCESS_INFORMATION info{};
    const bool created = CreateProcessRetried(std::move(commandLine), DEBUG_ONLY_THIS_PROCESS, info);
    {
        std::unique_lock lock(m_lock);
        m_started = created;
        m_exited = !created;
        m_pid = info.dwProcessId;
        m_process = info.hProcess;
        m_changed.notify_all();
    }
    if (!created) return;
    DWORD exitCode = 0;
    for (bool running = true; running;) {
        DEBUG_EVENT event{};
        if (!::WaitForDebugEvent(&event, 1000)) continue;
        DWORD status = DBG_CONTINUE;
        switch (event.dwDebugEventCode) {
        case CREATE_PROCESS_DEBUG_EVENT:
            if (event.u.CreateProcessInfo.hFile) ::CloseHandle(event.u.CreateProcessInfo.hFile);
            break;
        case LOAD_DLL_DEBUG_EVENT:
            if (event.u.LoadDll.hFile) ::CloseHandle(event.u.LoadDll.hFile);
            break;
        case OUTPUT_DEBUG_STRING_EVENT: OnDebugString(info.hProcess, event.u.DebugString); break;
        case EXCEPTION_DEBUG_EVENT:
            // Left to the program's own handlers; unhandled, it ends the program with its code.
            if (event.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT)
                status = DBG_EXCEPTION_NOT_HANDLED;
            break;
        case EXIT_PROCESS_DEBUG_EVENT:
            exitCode = event.u.ExitProcess.dwExitCode;
            running = false;
            break;
        default: break;
        }
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    ::WaitForSingleObject(info.hProcess, 5000);
    std::unique_lock lock(m_lock);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    m_process = nullptr;
    m_exitCode = exitCode;
    m_exited = true;
    m_changed.notify_all();
}
