// Latency from the last drive event to the start of the shell operation: the card's camera folder
// is moved by a rename on one file system, so its disappearance marks the operation's start.
#include "BenchSupport.h"

#include <algorithm>
#include <cmath>

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 20;
    CArmedProgram program;
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    if (letters.empty() || !program.Start(0)) return 1;
    const std::wstring card = program.Path(L"card");
    const std::wstring camera = card + L"\\DCIM\\100TESTS";
    CCardDrive drive(letters[0], card, program.m_program.Id());

    std::vector<double> latencies;
    for (int round = 0; round < rounds; ++round) {
        WriteFileBytes(camera + L"\\IMG_0001.JPG", std::string(1000, 'x'));
        if (!drive.Define()) return 1;
        const size_t balloons = program.m_program.Balloons().size();
        // A short burst, as a card reader gives: the run counts from the last event.
        AnnounceArrival(std::wstring(1, letters[0]), program.m_program.Id());
        ::Sleep(100);
        AnnounceArrival(std::wstring(1, letters[0]), program.m_program.Id());
        const double last = NowMs();
        double moved = 0;
        while (moved == 0 && NowMs() - last < 10000) {
            if (::GetFileAttributesW(camera.c_str()) == INVALID_FILE_ATTRIBUTES) moved = NowMs();
            ::Sleep(0);
        }
        if (moved == 0)
            std::fprintf(stderr, "round %d: nothing moved\n", round);
        else
            latencies.push_back(moved - last);
        program.m_program.WaitBalloons(balloons + 1, 10000);
        drive.Remove();
        ::Sleep(700);
        RemoveFolderTree(program.Path(L"dst\\100TESTS"));
    }
    std::printf("last drive event -> shell operation, %zu rounds (design 500-600 ms)\n", latencies.size());
    if (latencies.empty()) return 1;
    std::sort(latencies.begin(), latencies.end());
    const double count = static_cast<double>(latencies.size());
    double mean = 0, variance = 0;
    for (double v : latencies) mean += v / count;
    for (double v : latencies) variance += (v - mean) * (v - mean) / count;
    std::printf("  min %.1f  median %.1f  mean %.1f  max %.1f  stddev %.1f ms\n", latencies.front(),
                latencies[latencies.size() / 2], mean, latencies.back(), std::sqrt(variance));
    return 0;
}
