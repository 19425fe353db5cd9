// Downloads one large body from the loopback test server into a temporary file, alternating the
// request context (asynchronous session, ReadToFile) with a bare blocking WinINet loop
// (InternetOpenUrlW + InternetReadFile + WriteFile), and prints the median times, their ratio and
// how much the process's private memory grew during each download.
// Usage: inet_download_bench [megabytes] [rounds]   (default 100 MB, 5 rounds)
// The server's port comes from FH_HTTP_TEST_PORT; tests/bench/inet_download_bench.sh starts the
// server, runs this program under Wine and times curl on the same download.
#include "foundation/UniqueHandle.h"
#include "inet/HttpRequestContext.h"
#include "inet/HttpRequestUrl.h"
#include "tests/bench/BenchTiming.h"

#include <windows.h>

#include <psapi.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

// Private bytes; Wine leaves that counter at 0 and keeps the same figure as the page-file usage.
SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof(counters);
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof(counters));
    return counters.PrivateUsage ? counters.PrivateUsage : counters.PagefileUsage;
}

// Samples the private bytes while `run` works; returns the largest growth over the start.
template <class F> double PeakGrowthMb(F run)
{
    const SIZE_T start = PrivateBytes();
    std::atomic<bool> done{false};
    std::atomic<SIZE_T> peak{start};
    std::thread sampler([&] {
        while (!done) {
            const SIZE_T now = PrivateBytes();
            if (now > peak) peak = now;
            ::Sleep(5);
        }
    });
    run();
    done = true;
    sampler.join();
    const SIZE_T end = PrivateBytes();
    const SIZE_T top = std::max<SIZE_T>(peak.load(), end);
    return top > start ? static_cast<double>(top - start) / (1024.0 * 1024.0) : 0.0;
}

ULONGLONG FileSize(const std::wstring& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool ContextDownload(const std::wstring& url, ULONGLONG expected)
{
    CHttpRequestContext context;
    CHttpRequestUrl target;
    if (FAILED(target.CrackUrl(url.c_str()))) return false;
    context.Request(target, nullptr);
    std::wstring path;
    if (!context.HasError()) context.ReadToFile(path);
    if (context.HasError()) {
        fwprintf(stderr, L"context: %ls\n", context.GetError().m_message.c_str());
        return false;
    }
    const bool whole = FileSize(path) == expected;
    ::DeleteFileW(path.c_str());
    return whole;
}

bool BareDownload(const std::wstring& url, ULONGLONG expected)
{
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"fh-bare-download.tmp";
    {
        const CUniqueInternetHandle internet(::InternetOpenW(L"bench", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
        const CUniqueInternetHandle request(::InternetOpenUrlW(internet.Get(), url.c_str(), nullptr, 0,
                                                               INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE, 0));
        const CUniqueKernelHandle file(
            ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!request || !file) return false;
        std::vector<char> block(16384);
        DWORD read = 0;
        while (::InternetReadFile(request.Get(), block.data(), static_cast<DWORD>(block.size()), &read) && read) {
            DWORD written = 0;
            if (!::WriteFile(file.Get(), block.data(), read, &written, nullptr) || written != read) return false;
        }
    }
    const bool whole = FileSize(path) == expected;
    ::DeleteFileW(path.c_str());
    return whole;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const unsigned megabytes = argc > 1 ? static_cast<unsigned>(_wtoi(argv[1])) : 100;
    const int rounds = argc > 2 ? _wtoi(argv[2]) : 5;
    wchar_t port[16] = {};
    if (!::GetEnvironmentVariableW(L"FH_HTTP_TEST_PORT", port, 16)) {
        fwprintf(stderr, L"FH_HTTP_TEST_PORT is not set: run tests/bench/inet_download_bench.sh\n");
        return 2;
    }
    const ULONGLONG size = static_cast<ULONGLONG>(megabytes) * 1024 * 1024;
    // The measure itself must see memory: 8 MB touched here should show as about 8 MB.
    const auto allocate = [] {
        std::vector<char> block(8 * 1024 * 1024, 1);
        ::Sleep(50);
    };
    const double probe = PeakGrowthMb(allocate);
    const std::wstring url = L"http://127.0.0.1:" + std::wstring(port) + L"/bytes/" + std::to_wstring(size);
    std::vector<double> contextTimes, bareTimes, contextGrowth, bareGrowth;
    for (int round = 0; round < rounds; ++round) {
        for (const bool context : {true, false}) {
            bool ok = false;
            const double start = NowSeconds();
            const double growth = PeakGrowthMb(
                [&] { ok = context ? ContextDownload(url, size) : BareDownload(url, size); });
            const double seconds = NowSeconds() - start;
            if (!ok) {
                fwprintf(stderr, L"%ls download failed in round %d\n", context ? L"context" : L"bare", round + 1);
                return 1;
            }
            (context ? contextTimes : bareTimes).push_back(seconds);
            (context ? contextGrowth : bareGrowth).push_back(growth);
        }
    }
    const double contextMedian = Median(contextTimes), bareMedian = Median(bareTimes);
    wprintf(L"memory probe: 8 MB allocated shows as %.2f MB of private bytes\n", probe);
    wprintf(L"download of %u MB into a temporary file, %d rounds alternating, medians:\n", megabytes, rounds);
    wprintf(L"  request context (ReadToFile): %.3f s  (%.1f MB/s), memory growth %.2f MB (largest %.2f MB)\n",
            contextMedian, megabytes / contextMedian, Median(contextGrowth),
            *std::max_element(contextGrowth.begin(), contextGrowth.end()));
    wprintf(L"  bare InternetOpenUrlW loop:   %.3f s  (%.1f MB/s), memory growth %.2f MB (largest %.2f MB)\n",
            bareMedian, megabytes / bareMedian, Median(bareGrowth),
            *std::max_element(bareGrowth.begin(), bareGrowth.end()));
    wprintf(L"  time ratio context/bare: %.3f (target at most 1.15); memory growth target below 4 MB\n",
            contextMedian / bareMedian);
    return 0;
}
