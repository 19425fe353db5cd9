// Times EnumFiles + SortPathsLogical against a plain FindFirstFileW loop sorted with
// StrCmpLogicalW, on the same folders of 1,000, 10,000 and 100,000 entries.
// Usage: enum_files_bench [--keep] [rounds] [entries...]
//   rounds default 7; entries default 1000 10000 100000. The folders are made under
//   %TEMP%\fh-enum-bench and removed at the end; --keep leaves them for the next run, which
//   reuses a folder that still holds the right number of entries (under Wine, filling a folder of
//   100,000 entries takes the better part of an hour: every new name costs a scan of the folder).
#include "foundation/FileList.h"
#include "foundation/PlatformPaths.h"
#include "tests/bench/BenchTiming.h"
#include "tests/support/RemoveFolderTree.h"

#include <windows.h>

#include <shlwapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// Camera-like names with numbers of varying width, so that the natural order matters; one entry
// in 50 is a folder.
bool MakeEntries(const std::wstring& folder, int count)
{
    if (!::CreateDirectoryW(folder.c_str(), nullptr)) return false;
    std::mt19937 random(static_cast<unsigned>(count));
    for (int i = 0; i < count; ++i) {
        const std::wstring path = folder + L"\\" + (i % 3 ? L"IMG_" : L"dsc") + std::to_wstring(random() % 1000000) +
                                  L"_" + std::to_wstring(i) + (i % 50 ? L".JPG" : L"");
        if (i % 50 == 0) {
            if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
            continue;
        }
        const HANDLE h = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                                       nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        ::CloseHandle(h);
    }
    return true;
}

size_t RunLibrary(const std::wstring& folder)
{
    std::list<std::wstring> list;
    EnumFiles(list, folder, std::wstring(), 0, 0, false);
    SortPathsLogical(list, false);
    return list.size();
}

size_t RunPlain(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data;
    const HANDLE h = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (wcscmp(data.cFileName, L".") != 0 && wcscmp(data.cFileName, L"..") != 0)
                names.emplace_back(data.cFileName);
        } while (::FindNextFileW(h, &data));
        ::FindClose(h);
    }
    std::sort(names.begin(), names.end(),
              [](const std::wstring& a, const std::wstring& b) { return ::StrCmpLogicalW(a.c_str(), b.c_str()) < 0; });
    return names.size();
}

} // namespace

int main(int argc, char** argv)
{
    const bool keep = argc > 1 && std::string(argv[1]) == "--keep";
    const int first = keep ? 2 : 1;
    const int rounds = argc > first ? std::max(1, std::atoi(argv[first])) : 7;
    std::vector<int> sizes;
    for (int i = first + 1; i < argc; ++i) sizes.push_back(std::max(1, std::atoi(argv[i])));
    if (sizes.empty()) sizes = {1000, 10000, 100000};
    std::wstring temp;
    if (!GetTempFolderPath(temp)) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const std::wstring root = temp + L"fh-enum-bench";
    ::CreateDirectoryW(root.c_str(), nullptr);
    std::printf("%8s %7s %10s %12s %12s %7s\n", "entries", "rounds", "make s", "library ms", "plain ms", "ratio");
    int status = 0;
    for (int count : sizes) {
        const std::wstring folder = root + L"\\n" + std::to_wstring(count);
        const double made = NowSeconds();
        if (RunPlain(folder) != static_cast<size_t>(count)) {
            RemoveFolderTree(folder);
            if (!MakeEntries(folder, count)) {
                std::fprintf(stderr, "cannot create %d entries (error %lu)\n", count, ::GetLastError());
                RemoveFolderTree(folder);
                status = 1;
                break;
            }
        }
        const double makeSeconds = NowSeconds() - made;
        RunLibrary(folder); // warm the caches
        RunPlain(folder);
        std::vector<double> library, plain, ratios;
        for (int r = 0; r < rounds; ++r) {
            // Alternate which one goes first.
            for (const bool lib : {r % 2 == 0, r % 2 != 0}) {
                const double start = NowSeconds();
                const size_t n = lib ? RunLibrary(folder) : RunPlain(folder);
                const double s = NowSeconds() - start;
                if (n != static_cast<size_t>(count)) {
                    std::fprintf(stderr, "found %zu of %d entries\n", n, count);
                    status = 1;
                }
                (lib ? library : plain).push_back(s);
            }
            ratios.push_back(library.back() / plain.back());
        }
        std::printf("%8d %7d %10.1f %12.2f %12.2f %7.3f\n", count, rounds, makeSeconds, Median(library) * 1000,
                    Median(plain) * 1000, Median(ratios));
        std::fflush(stdout);
        if (!keep) RemoveFolderTree(folder);
    }
    if (!keep) ::RemoveDirectoryW(root.c_str());
    return status;
}
