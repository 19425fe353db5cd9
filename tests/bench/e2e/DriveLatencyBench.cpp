// Latency from the last drive event to the start of the shell operation: the card's camera folder
// is moved by a rename on one file system, so its disappearance marks the operation's start.
#include "BenchSupport.h"

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? _wtoi(argv[1]) : 20;
    CBenchFolder folder;
    const std::wstring destination = folder / L"dst";
    MakeFolders(destination);
    ExecValues exec;
    exec.dstFolder = destination;
    CArmedProgram program;
    if (!program.Start(exec)) {
        std::fprintf(stderr, "the program did not start\n");
        return 1;
    }
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    if (letters.empty()) return 1;
    const std::wstring card = folder / L"card";
    MakeFolders(card);
    CCardDrive drive(letters[0], card, program.m_program.Id());
    if (!drive.Define()) return 1;

    std::vector<double> latencies;
    const std::wstring camera = card + L"\\DCIM\\100TESTS";
    for (int round = 0; round < rounds; ++round) {
        WriteFileBytes(camera + L"\\IMG_0001.JPG", std::string(1000, 'x'));
        const size_t balloons = program.m_program.Balloons().size();
        // A short burst, as a card reader gives: the run counts from the last event.
        SendVolumeEvent(program.m_frame, DBT_DEVICEARRIVAL, letters[0]);
        ::Sleep(100);
        SendVolumeEvent(program.m_frame, DBT_DEVICEARRIVAL, letters[0]);
        const double last = NowMs();
        double moved = 0;
        while (NowMs() - last < 10000) {
            if (::GetFileAttributesW(camera.c_str()) == INVALID_FILE_ATTRIBUTES) {
                moved = NowMs();
                break;
            }
            ::Sleep(0);
        }
        if (moved == 0) {
            std::fprintf(stderr, "round %d: nothing moved\n", round);
            continue;
        }
        latencies.push_back(moved - last);
        program.m_program.WaitBalloons(balloons + 1, 10000);
        SendVolumeEvent(program.m_frame, DBT_DEVICEREMOVECOMPLETE, letters[0]);
        ::Sleep(700);
        RemoveFolderTree(destination + L"\\100TESTS");
    }
    const Spread s = SpreadOf(latencies);
    std::printf("last drive event -> shell operation, %zu rounds (design 500-600 ms)\n", latencies.size());
    std::printf("  min %.1f  median %.1f  mean %.1f  max %.1f  stddev %.1f ms\n", s.min, s.median, s.mean, s.max,
                s.stddev);
    return latencies.empty() ? 1 : 0;
}
