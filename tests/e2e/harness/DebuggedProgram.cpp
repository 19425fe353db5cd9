#include "DebuggedProgram.h"

#include <chrono>
#include <cstdio>

namespace {

// The wide debug string of newer systems, raised before the narrow one.
constexpr DWORD kPrintExceptionWide = 0x4001000A;
const wchar_t kBalloonTag[] = L"fernhollow-balloon\t";

std::wstring ModuleFolder()
{
    wchar_t self[MAX_PATH] = L"";
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path.resize(path.find_last_of(L'\\'));
    return path;
}

} // namespace

std::wstring OwnFolderFile(const std::wstring& name) { return ModuleFolder() + L"\\" + name; }

std::wstring ParentFolderFile(const std::wstring& name)
{
    std::wstring folder = ModuleFolder();
    folder.resize(folder.find_last_of(L'\\'));
    return folder + L"\\" + name;
}

long RunToExit(std::wstring commandLine, DWORD flags, DWORD ms)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr, nullptr,
                          &startup, &info))
        return -2;
    long code = -1;
    if (::WaitForSingleObject(info.hProcess, ms) == WAIT_OBJECT_0) {
        DWORD exit = 0;
        ::GetExitCodeProcess(info.hProcess, &exit);
        code = static_cast<long>(exit);
    } else {
        ::TerminateProcess(info.hProcess, 99);
    }
    ::CloseHandle(info.hThread);
    ::CloseHandle(info.hProcess);
    return code;
}

CDebuggedProgram::~CDebuggedProgram()
{
    {
        std::unique_lock lock(m_lock);
        if (m_started && !m_exited && m_process) ::TerminateProcess(m_process, 99);
    }
    if (m_thread.joinable()) m_thread.join();
}

bool CDebuggedProgram::Start(const std::wstring& path, const std::wstring& arguments)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    m_thread = std::thread([this, commandLine] { Loop(commandLine); });
    std::unique_lock lock(m_lock);
    m_changed.wait(lock, [this] { return m_startDone; });
    return m_started;
}

bool CDebuggedProgram::Running()
{
    std::unique_lock lock(m_lock);
    return m_started && !m_exited;
}

long CDebuggedProgram::WaitExit(DWORD ms)
{
    std::unique_lock lock(m_lock);
    if (!m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_exited || !m_started; }))
        return -1;
    return m_started ? static_cast<long>(m_exitCode) : -1;
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

DWORD CDebuggedProgram::Crash()
{
    std::unique_lock lock(m_lock);
    return m_crash;
}

void CDebuggedProgram::OnDebugString(std::wstring text)
{
    if (text.compare(0, wcslen(kBalloonTag), kBalloonTag) != 0) return;
    text.erase(0, wcslen(kBalloonTag));
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r')) text.pop_back();
    const size_t tab = text.find(L'\t');
    std::unique_lock lock(m_lock);
    m_balloons.push_back(Balloon{text.substr(0, tab), tab == std::wstring::npos ? L"" : text.substr(tab + 1),
                                 ::GetTickCount()});
    m_changed.notify_all();
}

std::wstring CDebuggedProgram::ReadRemoteString(HANDLE process, const void* address, size_t chars, bool wide)
{
    if (!address || !chars || chars > 65536) return std::wstring();
    std::string bytes(wide ? chars * sizeof(wchar_t) : chars, '\0');
    SIZE_T read = 0;
    if (!::ReadProcessMemory(process, address, bytes.data(), bytes.size(), &read)) return std::wstring();
    std::wstring text(read, L'\0');
    if (wide)
        text.assign(reinterpret_cast<const wchar_t*>(bytes.data()), read / sizeof(wchar_t));
    else
        text.resize(static_cast<size_t>(::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(read),
                                                              text.data(), static_cast<int>(read))));
    return text.substr(0, text.find(L'\0'));
}

void CDebuggedProgram::Loop(std::wstring commandLine)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    // Wine's process creation has been seen to fail once in a while on a loaded machine (a CI
    // run with two cores); a second attempt is not the program's doing, so it is retried, loudly.
    BOOL created = FALSE;
    DWORD error = 0;
    for (int attempt = 0; attempt < 3 && !created; ++attempt) {
        if (attempt) {
            std::fprintf(stderr, "CreateProcessW failed with error %lu; trying again\n", error);
            ::Sleep(500);
        }
        created = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS,
                                   nullptr, nullptr, &startup, &info);
        error = created ? 0 : ::GetLastError();
    }
    {
        std::unique_lock lock(m_lock);
        m_startDone = true;
        m_started = created != FALSE;
        m_startError = error;
        if (created) {
            m_pid = info.dwProcessId;
            m_process = info.hProcess;
        }
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
                status = DBG_EXCEPTION_NOT_HANDLED;
                if (!event.u.Exception.dwFirstChance) {
                    std::unique_lock lock(m_lock);
                    m_crash = record.ExceptionCode;
                }
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
