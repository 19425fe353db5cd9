#include "DebuggedProgram.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace {

// The wide debug string of newer systems, raised before the narrow one.
constexpr DWORD kPrintExceptionWide = 0x4001000A;
const wchar_t kBalloonTag[] = L"fernhollow-balloon\t";

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
        std::fprintf(stderr, "CreateProcessW failed with error %lu%s\n", error,
                     attempt < 3 ? "; trying again" : "");
        if (attempt == 3) return false;
        ::Sleep(500);
    }
}

std::wstring ReadRemoteString(HANDLE process, const void* address, size_t chars, bool wide)
{
    std::string bytes(std::min<size_t>(chars, 65536) * (wide ? sizeof(wchar_t) : 1), '\0');
    SIZE_T read = 0;
    if (!address || !::ReadProcessMemory(process, address, bytes.data(), bytes.size(), &read))
        return std::wstring();
    std::wstring text(read, L'\0');
    if (wide)
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), read / sizeof(wchar_t));
    else
        text.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(read),
                                                              text.data(), static_cast<int>(read))));
    return text.substr(0, text.find(L'\0'));
}

} // namespace

std::wstring ParentFolderFile(const std::wstring& name)
{
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring folder(self);
    folder.resize(folder.find_last_of(L'\\'));
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\" + name;
}

long RunToExit(std::wstring commandLine, DWORD flags, DWORD ms)
{
    PROCESS_INFORMATION info{};
    if (!CreateProcessRetried(std::move(commandLine), flags, info)) return -2;
    DWORD code = 0;
    const bool ended =
        ::WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0 && ::GetExitCodeProcess(info.hProcess, &code);
    if (!ended) ::TerminateProcess(info.hProcess, 99);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return ended ? static_cast<long>(code) : -1;
}

CDebuggedProgram::~CDebuggedProgram()
{
    {
        std::unique_lock lock(m_lock);
        if (!m_exited && m_process) ::TerminateProcess(m_process, 99);
    }
    if (m_thread.joinable()) m_thread.join();
}

bool CDebuggedProgram::Start(const std::wstring& path, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + path + L"\"";
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

size_t CDebuggedProgram::WaitBalloons(size_t count, DWORD ms)
{
    std::unique_lock lock(m_lock);
    m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this, count] { return m_balloons.size() >= count || m_exited; });
    return m_balloons.size();
}

void CDebuggedProgram::OnDebugString(std::wstring text)
{
    if (text.compare(0, wcslen(kBalloonTag), kBalloonTag) != 0) return;
    text.erase(0, wcslen(kBalloonTag));
    const size_t tab = text.find(L'\t');
    std::unique_lock lock(m_lock);
    m_balloons.push_back(Balloon{text.substr(0, tab), tab == std::wstring::npos ? L"" : text.substr(tab + 1),
                                 ::GetTickCount()});
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
        case OUTPUT_DEBUG_STRING_EVENT: {
            const auto& s = event.u.DebugString;
            OnDebugString(ReadRemoteString(info.hProcess, s.lpDebugStringData, s.nDebugStringLength, s.fUnicode != 0));
            break;
        }
        case EXCEPTION_DEBUG_EVENT: {
            const EXCEPTION_RECORD& record = event.u.Exception.ExceptionRecord;
            if (record.ExceptionCode == kPrintExceptionWide && record.NumberParameters >= 2) {
                // Taken here, the narrow copy is not raised after it.
                OnDebugString(ReadRemoteString(info.hProcess, reinterpret_cast<const void*>(record.ExceptionInformation[1]),
                                               record.ExceptionInformation[0], true));
            } else if (record.ExceptionCode != EXCEPTION_BREAKPOINT) {
                status = DBG_EXCEPTION_NOT_HANDLED; // unhandled, it ends the program with its code
            }
            break;
        }
        case EXIT_PROCESS_DEBUG_EVENT: {
            std::unique_lock lock(m_lock);
            m_exitCode = event.u.ExitProcess.dwExitCode;
            running = false;
            break;
        }
        default:
            break;
        }
        ::ContinueDebugEvent(event.dwProcessId, event.dwThreadId, status);
    }
    ::WaitForSingleObject(info.hProcess, 5000);
    std::unique_lock lock(m_lock);
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    m_process = nullptr;
    m_exited = true;
    m_changed.notify_all();
}
