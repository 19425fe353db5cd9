// The armed program at rest: private bytes, working set and processor time over 60 seconds.
#include "BenchSupport.h"

#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>
#include <filesystem>

namespace {

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool CpuTime(HANDLE process, ULONGLONG& total)
{
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
    total = Ticks(kernel) + Ticks(user);
    return true;
}

// Wine reports no private bytes for another process: then the Linux side's own figures for the
// process whose command line names the program (private pages of smaps_rollup).
std::string LinuxMemoryRollup()
{
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(L"Z:\\proc", error)) {
        std::string text;
        if (std::iswdigit(entry.path().filename().wstring()[0]) &&
            ReadFileBytes(entry.path().wstring() + L"\\cmdline", text) &&
            text.find("fernhollow.exe") != std::string::npos &&
            ReadFileBytes(entry.path().wstring() + L"\\smaps_rollup", text))
            return text;
    }
    return std::string();
}

double KiloBytesField(const std::string& text, const char* field)
{
    const size_t at = text.find(field);
    return at == std::string::npos ? -1 : std::atof(text.c_str() + at + std::strlen(field));
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 60;
    CArmedProgram program;
    if (!program.Start(0)) return 1;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, program.m_program.Id());
    if (!process) return 1;
    ::Sleep(3000);
    ULONGLONG cpuStart = 0, cpuEnd = 0;
    const bool cpuKnown = CpuTime(process, cpuStart);
    const double start = NowMs();
    ::Sleep(seconds * 1000);
    const double wall = NowMs() - start;
    CpuTime(process, cpuEnd);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    const BOOL memoryKnown = ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                                                    sizeof(memory));
    ::CloseHandle(process);
    std::printf("armed and idle for %.1f s\n", wall / 1000);
    if (memoryKnown)
        std::printf("  private bytes %.2f MB, working set %.2f MB, peak working set %.2f MB (target: private < 8 MB)\n",
                    memory.PrivateUsage / 1048576.0, memory.WorkingSetSize / 1048576.0,
                    memory.PeakWorkingSetSize / 1048576.0);
    else
        std::printf("  memory counters not available\n");
    if (const std::string rollup = memoryKnown && memory.PrivateUsage == 0 ? LinuxMemoryRollup() : std::string();
        !rollup.empty()) {
        const double priv = KiloBytesField(rollup, "Private_Clean:") + KiloBytesField(rollup, "Private_Dirty:");
        std::printf("  Wine reports no private bytes; Linux side: private %.2f MB (clean + dirty), anonymous %.2f MB,"
                    " resident %.2f MB\n",
                    priv / 1024, KiloBytesField(rollup, "Anonymous:") / 1024, KiloBytesField(rollup, "Rss:") / 1024);
    }
    if (cpuKnown)
        std::printf("  processor time %.1f ms = %.3f%% of one core (target < 0.5%%)\n", (cpuEnd - cpuStart) / 1e4,
                    100.0 * ((cpuEnd - cpuStart) / 1e4) / wall);
    return 0;
}
