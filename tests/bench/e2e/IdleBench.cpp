// The armed program at rest: private bytes, working set and processor time over 60 seconds.
#include "BenchSupport.h"

#include <psapi.h>

#include <cstdlib>
#include <cstring>
#include <cwctype>

namespace {

ULONGLONG Ticks(const FILETIME& t) { return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

bool CpuTime(HANDLE process, ULONGLONG& total)
{
    FILETIME created, exited, kernel, user;
    if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return false;
    total = Ticks(kernel) + Ticks(user);
    return true;
}

std::string ReadSmall(const std::wstring& path)
{
    std::string bytes;
    HANDLE h = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return bytes;
    char buffer[8192];
    DWORD read = 0;
    while (::ReadFile(h, buffer, sizeof(buffer), &read, nullptr) && read > 0) bytes.append(buffer, read);
    ::CloseHandle(h);
    return bytes;
}

// Wine reports no private bytes for another process: then the Linux side's own figures for the
// process whose command line names the program (private pages of smaps_rollup).
std::wstring FindLinuxProcess()
{
    std::wstring found;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(L"Z:\\proc\\*", &data);
    if (find == INVALID_HANDLE_VALUE) return found;
    do {
        if (!iswdigit(data.cFileName[0])) continue;
        const std::wstring folder = std::wstring(L"Z:\\proc\\") + data.cFileName;
        if (ReadSmall(folder + L"\\cmdline").find("fernhollow.exe") != std::string::npos) found = folder;
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return found;
}

double KiloBytesField(const std::string& text, const char* field)
{
    const size_t at = text.find(field);
    return at == std::string::npos ? -1 : std::atof(text.c_str() + at + std::strlen(field)) ;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const DWORD seconds = argc > 1 ? static_cast<DWORD>(_wtoi(argv[1])) : 60;
    CBenchFolder folder;
    ExecValues exec;
    exec.dstFolder = folder / L"dst";
    MakeFolders(exec.dstFolder);
    CArmedProgram program;
    if (!program.Start(exec)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
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
    const BOOL memoryKnown =
        ::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
    ::CloseHandle(process);
    std::printf("armed and idle for %.1f s\n", wall / 1000);
    if (memoryKnown)
        std::printf("  private bytes %.2f MB, working set %.2f MB, peak working set %.2f MB (target: private < 8 MB)\n",
                    memory.PrivateUsage / 1048576.0, memory.WorkingSetSize / 1048576.0,
                    memory.PeakWorkingSetSize / 1048576.0);
    else
        std::printf("  memory counters not available\n");
    if (memoryKnown && memory.PrivateUsage == 0) {
        const std::wstring linux = FindLinuxProcess();
        const std::string rollup = linux.empty() ? std::string() : ReadSmall(linux + L"\\smaps_rollup");
        if (!rollup.empty()) {
            const double priv = KiloBytesField(rollup, "Private_Clean:") + KiloBytesField(rollup, "Private_Dirty:");
            std::printf("  Wine reports no private bytes; Linux side: private %.2f MB (clean + dirty), anonymous %.2f MB,"
                        " resident %.2f MB\n",
                        priv / 1024, KiloBytesField(rollup, "Anonymous:") / 1024, KiloBytesField(rollup, "Rss:") / 1024);
        }
    }
    if (cpuKnown)
        std::printf("  processor time %.1f ms = %.3f%% of one core (target < 0.5%%)\n", (cpuEnd - cpuStart) / 1e4,
                    100.0 * ((cpuEnd - cpuStart) / 1e4) / wall);
    return 0;
}
