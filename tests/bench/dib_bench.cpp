// Times the DIB pixel operations against one copy of the same buffer, and ScaleDib to half size
// against a bare GDI+ DrawImage between bitmaps over the same memory with the same modes, on a
// 24-megapixel 32-bit DIB, alternating which goes first.
// Usage: dib_bench [rounds] [width height]   (defaults 7, 6000 x 4000)
#include "imaging/Dib.h"
#include "imaging/DibGdiplus.h"

#include <windows.h>

#include <objidl.h>

#include <gdiplus.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <vector>

namespace {

double NowSeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

struct Timing {
    std::vector<double> ours, bare, ratios;
};

// Runs both `rounds` times, alternating which goes first; `prepare` runs untimed before each.
Timing Alternate(int rounds, const std::function<void()>& prepare, const std::function<bool()>& ours,
                 const std::function<bool()>& bare, int& status)
{
    Timing t;
    for (int r = 0; r < rounds; ++r) {
        for (const bool first : {r % 2 == 0, r % 2 != 0}) {
            prepare();
            const double start = NowSeconds();
            const bool ok = first ? ours() : bare();
            (first ? t.ours : t.bare).push_back(NowSeconds() - start);
            if (!ok) status = 1;
        }
        t.ratios.push_back(t.ours.back() / t.bare.back());
    }
    return t;
}

void Print(const char* what, const char* against, const Timing& t, double limit)
{
    const double ratio = Median(t.ratios);
    std::printf("%-34s %9.2f ms   %-20s %9.2f ms   ratio %6.3f  (target <= %.2f)%s\n", what, Median(t.ours) * 1000,
                against, Median(t.bare) * 1000, ratio, limit, ratio <= limit ? "" : "  OVER");
    std::fflush(stdout);
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const LONG width = argc > 3 ? std::atoi(argv[2]) : 6000;
    const LONG height = argc > 3 ? std::atoi(argv[3]) : 4000;

    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartupInput input;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    int status = 0;
    {
        CDib dib;
        if (!dib.Create32AndAlloc(width, height)) {
            std::fprintf(stderr, "cannot make a %ld x %ld DIB\n", width, height);
            return 1;
        }
        const size_t size = dib.GetImageSize();
        std::vector<BYTE> original(size), copy(size);
        std::mt19937 random(42);
        for (size_t i = 0; i < size; i += 4) *reinterpret_cast<DWORD*>(&original[i]) = random();
        const auto restore = [&] { std::memcpy(dib.m_bits, original.data(), size); };
        const auto copyOnce = [&] {
            std::memcpy(copy.data(), dib.m_bits, size);
            volatile BYTE kept = copy[size / 2]; // the copy is read, so it stays
            (void)kept;
            return true;
        };
        std::printf("%ld x %ld 32-bit DIB (%.1f MB), %d rounds, medians\n", width, height, size / 1e6, rounds);

        Print("Premultiply", "one buffer copy",
              Alternate(
                  rounds, restore,
                  [&] {
                      dib.Premultiply();
                      return true;
                  },
                  copyOnce, status),
              3.0);
        Print("FlattenOnColor", "one buffer copy",
              Alternate(
                  rounds, restore,
                  [&] {
                      dib.FlattenOnColor(RGB(10, 200, 77));
                      return true;
                  },
                  copyOnce, status),
              3.0);
        Print("SetAlpha", "one buffer copy",
              Alternate(
                  rounds, restore,
                  [&] {
                      dib.SetAlpha(128);
                      return true;
                  },
                  copyOnce, status),
              3.0);

        // The bare call draws between bitmaps made once over the source's and a target's memory.
        const SIZE half{width / 2, height / 2};
        CDib target;
        target.Create32AndAlloc(half.cx, half.cy);
        restore();
        Gdiplus::Bitmap source(width, height, dib.GetSignedStride(), PixelFormat32bppARGB, dib.GetTopRow());
        Gdiplus::Bitmap destination(half.cx, half.cy, target.GetSignedStride(), PixelFormat32bppARGB,
                                    target.GetTopRow());
        using Gdiplus::InterpolationModeHighQualityBicubic, Gdiplus::InterpolationModeNearestNeighbor;
        for (const auto mode : {InterpolationModeNearestNeighbor, InterpolationModeHighQualityBicubic}) {
            CDib scaled;
            const auto ours = [&] { return ScaleDib(dib, dib.GetRect(), scaled, half, mode) == S_OK; };
            const auto bare = [&] {
                Gdiplus::Graphics graphics(&destination);
                graphics.SetInterpolationMode(mode);
                graphics.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHighQuality);
                return graphics.DrawImage(&source, Gdiplus::Rect(0, 0, half.cx, half.cy), 0, 0, width, height,
                                          Gdiplus::UnitPixel) == Gdiplus::Ok;
            };
            Print(mode == Gdiplus::InterpolationModeNearestNeighbor ? "ScaleDib to half, nearest"
                                                                    : "ScaleDib to half, bicubic",
                  "bare DrawImage",
                  Alternate(
                      rounds, [] {}, ours, bare, status),
                  1.10);
        }
    }
    Gdiplus::GdiplusShutdown(token);
    return status;
}
