// Times wic::CImgLoader loading into BGRA32 against a bare WIC decode + format conversion +
// CopyPixels into one buffer, alternating in one run, and measures the peak memory each road
// holds beyond its result: heap bytes taken through operator new (the library's own buffers)
// and the process's private bytes sampled every millisecond (WIC's buffers too).
// Usage: img_loader_bench [rounds] FILE...   (rounds default 5)
// scripts/imaging-bench.sh makes a 24-megapixel JPEG, a 16-bit PNG and an animated GIF (twice: with a
// global colour table, and with a local one on every frame) with ImageMagick and runs it.
#include "foundation/Exception.h"
#include "imaging/ImagingFactory.h"
#include "imaging/ImgLoader.h"

#include <ComPtr.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <thread>
#include <vector>

namespace {

std::atomic<long long> g_live{0};
std::atomic<long long> g_peak{0};

void CountAlloc(size_t size)
{
    const long long live = g_live += static_cast<long long>(size);
    long long peak = g_peak.load();
    while (live > peak && !g_peak.compare_exchange_weak(peak, live)) {}
}

} // namespace

// Every C++ allocation carries its size in front, so that the live total can be kept.
void* operator new(size_t size)
{
    auto* block = static_cast<size_t*>(std::malloc(size + 16));
    if (!block) throw std::bad_alloc();
    *block = size;
    CountAlloc(size);
    return reinterpret_cast<char*>(block) + 16;
}

void operator delete(void* p) noexcept
{
    if (!p) return;
    auto* block = reinterpret_cast<size_t*>(static_cast<char*>(p) - 16);
    g_live -= static_cast<long long>(*block);
    std::free(block);
}

void operator delete(void* p, size_t) noexcept { operator delete(p); }

namespace {

SIZE_T PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    ::K32GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
    return counters.PagefileUsage;
}

// Samples the private bytes while a road runs and keeps the highest.
class CPeakSampler {
public:
    CPeakSampler() : m_base(PrivateBytes()), m_peak(m_base)
    {
        m_thread = std::thread([this] {
            while (!m_stop) {
                const SIZE_T now = PrivateBytes();
                if (now > m_peak) m_peak = now;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
        });
    }
    ~CPeakSampler() { Stop(); }
    SIZE_T Stop()
    {
        if (m_thread.joinable()) {
            m_stop = true;
            m_thread.join();
            const SIZE_T now = PrivateBytes();
            if (now > m_peak) m_peak = now;
        }
        return m_peak - m_base;
    }

private:
    SIZE_T m_base;
    std::atomic<SIZE_T> m_peak;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

struct CRun {
    double seconds = 0;
    double heapPeak = 0;    // bytes
    double privatePeak = 0; // bytes
    double result = 0;      // bytes of the result buffer
};

CRun RunLoader(const std::wstring& path)
{
    CRun run;
    const long long base = g_live.load();
    g_peak = base;
    CPeakSampler sampler;
    const auto start = std::chrono::steady_clock::now();
    wic::CImgLoader loader;
    loader.m_formats = std::bitset<kImgFormatCount>(1u << BGRA32);
    CImgPtr img;
    loader.LoadFromFile(img, path);
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.privatePeak = static_cast<double>(sampler.Stop());
    run.heapPeak = static_cast<double>(g_peak.load() - base);
    run.result = static_cast<double>(img->m_bits.size());
    return run;
}

CRun RunBare(const std::wstring& path)
{
    CRun run;
    const long long base = g_live.load();
    g_peak = base;
    CPeakSampler sampler;
    const auto start = std::chrono::steady_clock::now();
    ATL::CComPtr<IWICBitmapDecoder> decoder;
    ATL::CComPtr<IWICBitmapFrameDecode> frame;
    ATL::CComPtr<IWICFormatConverter> converter;
    UINT w = 0, h = 0;
    std::vector<BYTE> pixels;
    if (SUCCEEDED(g_wicFactory->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                                          WICDecodeMetadataCacheOnDemand, &decoder)) &&
        SUCCEEDED(decoder->GetFrame(0, &frame)) && SUCCEEDED(g_wicFactory->CreateFormatConverter(&converter)) &&
        SUCCEEDED(converter->Initialize(frame, GUID_WICPixelFormat32bppBGRA, WICBitmapDitherTypeNone, nullptr, 0.0,
                                        WICBitmapPaletteTypeCustom)) &&
        SUCCEEDED(converter->GetSize(&w, &h))) {
        pixels.resize(static_cast<size_t>(w) * h * 4);
        converter->CopyPixels(nullptr, w * 4, static_cast<UINT>(pixels.size()), pixels.data());
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.privatePeak = static_cast<double>(sampler.Stop());
    run.heapPeak = static_cast<double>(g_peak.load() - base);
    run.result = static_cast<double>(pixels.size());
    return run;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double Max(const std::vector<double>& values) { return *std::max_element(values.begin(), values.end()); }

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int rounds = 5;
    int first = 1;
    if (argc > 1 && iswdigit(argv[1][0])) {
        rounds = std::max(1, _wtoi(argv[1]));
        first = 2;
    }
    if (first >= argc) {
        std::fprintf(stderr, "usage: img_loader_bench [rounds] FILE...\n");
        return 2;
    }
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    try {
        CImagingFactoryHolder factory;
        std::printf("%-28s %10s %10s %7s %12s %12s %12s %12s\n", "file", "loader s", "bare s", "ratio", "loader heap",
                    "bare heap", "loader priv", "bare priv");
        for (int i = first; i < argc; ++i) {
            const std::wstring path = argv[i];
            RunLoader(path); // warm the file cache and the codecs once for both
            std::vector<double> loaderTimes, bareTimes, loaderHeap, bareHeap, loaderPriv, barePriv;
            double result = 0;
            for (int r = 0; r < rounds; ++r) {
                const CRun a = r % 2 ? RunBare(path) : RunLoader(path);
                const CRun b = r % 2 ? RunLoader(path) : RunBare(path);
                const CRun& loader = r % 2 ? b : a;
                const CRun& bare = r % 2 ? a : b;
                loaderTimes.push_back(loader.seconds);
                bareTimes.push_back(bare.seconds);
                loaderHeap.push_back(loader.heapPeak);
                bareHeap.push_back(bare.heapPeak);
                loaderPriv.push_back(loader.privatePeak);
                barePriv.push_back(bare.privatePeak);
                result = loader.result;
            }
            const std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
            // Peaks in result buffers: 1.00 is the result alone.
            std::printf("%-28ls %10.3f %10.3f %7.3f %12.2f %12.2f %12.2f %12.2f\n", name.c_str(), Median(loaderTimes),
                        Median(bareTimes), Median(loaderTimes) / Median(bareTimes), Max(loaderHeap) / result,
                        Max(bareHeap) / result, Max(loaderPriv) / result, Max(barePriv) / result);
            std::printf("  result %.1f MB; extra buffers beyond the result at the peak (private bytes): loader %.2f, "
                        "bare %.2f\n",
                        result / 1048576.0, Max(loaderPriv) / result - 1.0, Max(barePriv) / result - 1.0);
        }
    } catch (const my::CException& e) {
        std::fprintf(stderr, "failed: %ls\n", e.m_message.c_str());
        return 1;
    }
    ::CoUninitialize();
    return 0;
}
