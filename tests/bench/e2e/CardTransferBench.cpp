// A card of many small files in 20 camera folders, copied and moved by the program (from the start
// of its run to the balloon) against bare SHFileOperationW calls over the same folders with the
// same flags, alternating, in the same run; `cp -r` of the same tree shows what the platform itself
// costs. The copy's card shares the destination's file system; the move's card lies on another
// one (/dev/shm), as a real card does, where a move under Wine is the shell's copy and delete: the
// bare side is the same copy and delete.
#include "BenchSupport.h"
#include "harness/OtherFileSystem.h"
#include "harness/UnixScript.h"

#include <shellapi.h>

#include <algorithm>
#include <random>

namespace {

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

// A script run on the Linux side; milliseconds, or a negative value when it could not run.
double TimeShellScript(const std::wstring& work, const std::wstring& done)
{
    const double start = NowMs();
    return RunUnixScript(work, done, 600000) ? NowMs() - start : -1;
}

// `cp -r` of the tree on the Linux side, less the start of a shell with nothing to do.
double TimeCopyOnLinux(const std::wstring& from, const std::wstring& to, const std::wstring& done)
{
    double idle = 1e9;
    for (int i = 0; i < 3; ++i) idle = std::min(idle, TimeShellScript(L"true", done));
    const double copy = TimeShellScript(L"cp -r '" + UnixPathOf(from) + L"' '" + UnixPathOf(to) + L"'", done);
    return copy < 0 || idle < 0 ? -1 : copy - idle;
}

// The camera folders of the card behind `drive`, as the program hands them to the shell.
std::wstring CameraFolders(wchar_t drive)
{
    std::wstring list;
    for (int f = 0; f < 20; ++f)
        list += std::wstring(1, drive) + L":\\DCIM\\" + std::to_wstring(100 + f) + L"BENCH" + L'\0';
    return list + L'\0';
}

// The bare shell operations over the card's camera folders: a copy, and for a move the delete of
// the sources after it; milliseconds, negative on failure.
double TimeBareOperation(wchar_t drive, const std::wstring& destination, bool copy)
{
    const std::wstring from = CameraFolders(drive);
    const std::wstring to = destination + L'\0';
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_COPY;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = FOF_ALLOWUNDO;
    const double start = NowMs();
    int result = ::SHFileOperationW(&op);
    if (result == 0 && !copy) {
        SHFILEOPSTRUCTW remove{};
        remove.wFunc = FO_DELETE;
        remove.pFrom = from.c_str();
        remove.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI;
        result = ::SHFileOperationW(&remove);
    }
    const double elapsed = NowMs() - start;
    return result == 0 ? elapsed : -result;
}

// The program's run over a fresh card, from the start of its run to its balloon (the quiet period
// and the timer's tick before it are not the run's); negative when no balloon came.
double TimeProgram(CArmedProgram& program, wchar_t drive, const std::wstring& card, size_t& arrived)
{
    CCardDrive cardDrive(drive, card, program.m_program.Id());
    cardDrive.Define();
    const size_t before = program.m_program.Balloons().size();
    AnnounceArrival(std::wstring(1, drive), program.m_program.Id());
    if (program.m_program.WaitBalloons(before + 1, 600000) <= before) return -1;
    const DWORD balloon = program.m_program.Balloons()[before].tick;
    const std::vector<DWORD> starts = program.m_program.RunStarts();
    cardDrive.Remove();
    arrived = SnapshotTree(program.Path(L"dst")).size();
    return starts.empty() ? -1 : static_cast<double>(balloon - starts.back());
}

void Reset(const std::wstring& folder)
{
    RemoveFolderTree(folder);
    MakeFolders(folder);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    std::vector<int> sizes{1000, 10000};
    if (argc > 1) sizes = {_wtoi(argv[1])};
    const int rounds = argc > 2 ? std::max(1, _wtoi(argv[2])) : 2;
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    if (letters.empty()) return 1;
    std::printf("%-6s %6s %14s %12s %8s %12s   (best of %d, alternating)\n", "mode", "files", "program ms", "bare ms",
                "ratio", "cp -r ms", rounds);
    for (const bool copy : {true, false}) {
        CArmedProgram program;
        if (!program.Start(copy ? 1 : 0)) return 1;
        const std::wstring destination = program.Path(L"dst");
        const std::wstring bareDestination = program.Path(L"bare");
        const COtherFileSystemFolder other(program.Path(L"dst"));
        if (!copy && other.Path().empty()) {
            std::printf("move: skipped, %s\n", other.Reason().c_str());
            continue;
        }
        for (int files : sizes) {
            const std::wstring card = copy ? program.Path(L"card") : other.Path() + L"\\card";
            BuildCard(card, files);
            const std::wstring scratch = program.Path(L"cp");
            const double cp = TimeCopyOnLinux(card + L"\\DCIM", scratch, program.Path(L"cp.done"));
            RemoveFolderTree(scratch);
            double bestProgram = 1e18, bestBare = 1e18;
            size_t arrived = 0;
            for (int round = 0; round < rounds; ++round) {
                // A move empties the card: each measure starts from a fresh one.
                if (!copy && round > 0) {
                    RemoveFolderTree(card);
                    BuildCard(card, files);
                }
                const double ms = TimeProgram(program, letters[0], card, arrived);
                if (ms < 0) {
                    std::fprintf(stderr, "%s %d: no balloon\n", copy ? "copy" : "move", files);
                    break;
                }
                bestProgram = std::min(bestProgram, ms);
                Reset(destination);
                if (!copy) {
                    RemoveFolderTree(card);
                    BuildCard(card, files);
                }
                Reset(bareDestination);
                CCardDrive cardDrive(letters[0], card, 0);
                cardDrive.Define();
                const double bare = TimeBareOperation(letters[0], bareDestination, copy);
                if (bare < 0)
                    std::fprintf(stderr, "bare operation failed: %.0f\n", -bare);
                else
                    bestBare = std::min(bestBare, bare);
                Reset(bareDestination);
            }
            std::printf("%-6s %6d %14.0f %12.0f %8.3f %12.0f   (%zu entries arrived)\n", copy ? "copy" : "move", files,
                        bestProgram, bestBare, bestProgram / bestBare, cp, arrived);
            std::fflush(stdout);
            RemoveFolderTree(card);
        }
    }
    return 0;
}
