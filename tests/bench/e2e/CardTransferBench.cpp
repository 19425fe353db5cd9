// A card of many small files in 20 camera folders, copied and moved by the program (from the
// arrival to the balloon) against `cp -r` of the same tree on the same file system.
#include "BenchSupport.h"

#include <random>

namespace {

std::wstring UnixPath(const std::wstring& path)
{
    const std::string unixPath = ToUnixPath(path);
    return std::wstring(unixPath.begin(), unixPath.end());
}

void BuildCard(const std::wstring& root, int files)
{
    std::mt19937 random(static_cast<unsigned>(files));
    const int perFolder = files / 20;
    for (int f = 0; f < 20; ++f) {
        const std::wstring folder = root + L"\\DCIM\\" + std::to_wstring(100 + f) + L"BENCH";
        for (int i = 0; i < perFolder; ++i) {
            wchar_t file[32];
            _snwprintf(file, 32, L"\\IMG_%05d.JPG", i);
            WriteFileBytes(folder + file, std::string(1024 + random() % 3072, static_cast<char>('a' + i % 26)));
        }
    }
}

// `cp -r` run on the Linux side; milliseconds, or a negative value when it could not run. Wine
// starts a Linux program given by its path but hands back no process to wait for: the shell
// around it leaves a marker file when the copy is done.
// The script's own start (a shell with nothing to do) is measured apart and taken off.
double TimeShellScript(const std::wstring& work, const std::wstring& done)
{
    std::wstring command = L"/bin/sh -c \"" + work + L"; : > '" + UnixPath(done) + L"'\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    ::DeleteFileW(done.c_str());
    const double start = NowMs();
    if (!::CreateProcessW(L"Z:\\bin\\sh", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &info))
        return -static_cast<double>(::GetLastError());
    if (info.hThread) ::CloseHandle(info.hThread);
    if (info.hProcess) ::CloseHandle(info.hProcess);
    while (::GetFileAttributesW(done.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (NowMs() - start > 600000) return -1;
        ::Sleep(1);
    }
    const double elapsed = NowMs() - start;
    ::DeleteFileW(done.c_str());
    return elapsed;
}

double TimeCopyOnLinux(const std::wstring& from, const std::wstring& to, const std::wstring& done)
{
    double idle = 1e9;
    for (int i = 0; i < 3; ++i) idle = std::min(idle, TimeShellScript(L"true", done));
    const double copy = TimeShellScript(L"cp -r '" + UnixPath(from) + L"' '" + UnixPath(to) + L"'", done);
    return copy < 0 || idle < 0 ? -1 : copy - idle;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<int> sizes{1000, 10000};
    if (argc > 1) sizes = {_wtoi(argv[1])};
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    if (letters.empty()) return 1;
    std::printf("%-6s %6s %12s %14s %12s %10s\n", "mode", "files", "program ms", "minus 500 ms", "cp -r ms", "overhead");
    for (const bool copy : {true, false}) {
        CArmedProgram program;
        if (!program.Start(copy ? 1 : 0)) return 1;
        const std::wstring destination = program.Path(L"dst");
        for (int files : sizes) {
            const std::wstring card = program.Path(L"card");
            BuildCard(card, files);
            const std::wstring scratch = program.Path(L"cp");
            const double cp = TimeCopyOnLinux(card + L"\\DCIM", scratch, program.Path(L"cp.done"));
            RemoveFolderTree(scratch);
            CCardDrive drive(letters[0], card, program.m_program.Id());
            drive.Define();
            const size_t before = program.m_program.Balloons().size();
            AnnounceArrival(std::wstring(1, letters[0]), program.m_program.Id());
            const DWORD arrived = ::GetTickCount();
            if (program.m_program.WaitBalloons(before + 1, 600000) <= before) {
                std::fprintf(stderr, "%s %d: no balloon\n", copy ? "copy" : "move", files);
                continue;
            }
            const double ms = program.m_program.Balloons()[before].tick - arrived;
            drive.Remove();
            const size_t got = SnapshotTree(destination).size();
            std::printf("%-6s %6d %12.0f %14.0f %12.0f %9.0f%%   (%zu entries arrived)\n", copy ? "copy" : "move", files,
                        ms, ms - 500, cp, cp > 0 ? 100.0 * (ms - 500 - cp) / cp : 0.0, got);
            std::fflush(stdout);
            RemoveFolderTree(destination);
            MakeFolders(destination);
            RemoveFolderTree(card);
        }
    }
    return 0;
}
