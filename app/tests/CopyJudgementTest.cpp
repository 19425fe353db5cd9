// What a copy run tells of each source, judged as copy mode judges arrival: by names, sizes and
// last-write times, since the card keeps every original; and what cannot be listed on either side.
#include "app/RunJudgement.h"
#include "app/TransferManifest.h"
#include "app/tests/ManifestTrees.h"
#include "foundation/Wine.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <iterator>
#include <list>
#include <map>
#include <vector>

namespace {

using Moved = fhw::CTransferManifest::Moved;
using Why = fhw::CTransferManifest::Why;
using Stayed = std::vector<std::pair<std::wstring, Why>>;

// Bytes this process has read so far, by the system's counter. Wine's stays at zero: there the
// Linux kernel's count for the process stands in, read under its Linux process id (Wine's server
// opens the files, so /proc/self would be the server's own).
ULONGLONG BytesReadSoFar()
{
    IO_COUNTERS io{};
    if (::GetProcessIoCounters(::GetCurrentProcess(), &io) && io.ReadOperationCount) return io.ReadTransferCount;
    if (!RunningUnderWine()) return 0;
    long pid = 0;
    asm volatile("syscall" : "=a"(pid) : "a"(39L) : "rcx", "r11", "memory"); // Linux getpid
    const std::string status = CTempFolder::ReadBytes(L"Z:\\proc\\" + std::to_wstring(pid) + L"\\io");
    const size_t at = status.find("rchar: ");
    return at == std::string::npos ? 0 : std::stoull(status.substr(at + 7));
}

} // namespace

// Each source of a copy run after the shell's copy and what happened meanwhile: a copy file whose
// card file went or moved from its listing holds what the card lacks; a copy that moved from its
// card file's time while the card file stands as listed changed; what either side would not list
// is not taken as copied, nor as empty. The shell's own move is judged by what stands where, laid
// out here as the shell leaves it: a folder split between card and destination, one the card
// still holds whole, one gone from the card; and what a held folder keeps from being listed.
TEST(TransferManifest, ACopyRunJudgesByNamesSizesAndTimes)
{
    CTempFolder temp;
    using Change = std::function<void(const std::wstring& name)>;
    const Change none = [](const std::wstring&) {};
    struct Case {
        const wchar_t* name;
        Change change; // after the copy
        Moved expected;
        Stayed stayed;
        Change before = {}; // before the manifest is taken
        bool move = false;  // the shell's own move: `change` lays out what it left, in place of the copy
    };
    const auto src = [&temp](const std::wstring& n, const wchar_t* file) { return temp / (L"src\\" + n + file); };
    const auto dst = [&temp](const std::wstring& n, const wchar_t* file) { return temp / (L"dst\\" + n + file); };
    std::vector<HANDLE> held;
    const auto lacking = [&](Change change) -> Change {
        return [&, change](const std::wstring& n) {
            ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str());
            change(n);
        };
    };
    const auto holdFolder = [&](const wchar_t* below) -> Change {
        return [&, below](const std::wstring& n) {
            held.push_back(HoldFolder(src(n, below)));
            EXPECT_NE(held.back(), INVALID_HANDLE_VALUE);
        };
    };
    const Change emptyCopy = [&](const std::wstring& n) {
        RemoveFolderTree(dst(n, L""));
        ::CreateDirectoryW(dst(n, L"").c_str(), nullptr);
    };
    std::map<std::wstring, size_t> heldAt; // the hold a row lets go of
    // What the shell's move across volumes does to a file: the file leaves the card, its time kept.
    const auto moveFile = [&](const std::wstring& n, const wchar_t* file) {
        temp.WriteFile(L"dst\\" + n + file, "");
        EXPECT_TRUE(::MoveFileExW(src(n, file).c_str(), dst(n, file).c_str(), MOVEFILE_REPLACE_EXISTING));
    };
    const Change splitByTheShell = [&](const std::wstring& n) { moveFile(n, L"\\a.jpg"); };
    // The shell's move of a whole folder, here one rename as within a volume.
    const Change moveWhole = [&](const std::wstring& n) {
        EXPECT_TRUE(::MoveFileW(src(n, L"").c_str(), dst(n, L"").c_str()));
    };
    const Change takenAway = [&](const std::wstring& n) {
        ::CreateDirectoryW((temp / L"away").c_str(), nullptr);
        EXPECT_TRUE(::MoveFileW(src(n, L"").c_str(), (temp / (L"away\\" + n)).c_str()));
    };
    const auto then = [](Change first, Change second) -> Change {
        return [first, second](const std::wstring& n) {
            first(n);
            second(n);
        };
    };
    const Change copyHeld = [&](const std::wstring& n) { held.push_back(HoldFolder(dst(n, L""))); };
    const Case cases[] = {
        {L"whole", none, Moved::All, {}},
        {L"lacksAFile", lacking(none), Moved::NotWhole, {}},
        {L"cutShort",
         lacking([&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\a.jpg", "12"); }),
         Moved::NotWhole,
         {}},
        {L"nothingCopied", [&](const std::wstring& n) { RemoveFolderTree(dst(n, L"")); }, Moved::NotCopied, {}},
        {L"cardFolderHeld", emptyCopy, Moved::NotWhole, {{L"cardFolderHeld\\", Why::Unlisted}}, holdFolder(L"")},
        {L"cardSubFolderHeld",
         [&](const std::wstring& n) { ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str()); },
         Moved::NotWhole,
         {{L"sub\\", Why::Unlisted}},
         holdFolder(L"\\sub")},
        {L"cardFolderLetGo",
         [&](const std::wstring& n) {
             ::CloseHandle(held[heldAt[n]]);
             held[heldAt[n]] = INVALID_HANDLE_VALUE;
             emptyCopy(n);
         },
         Moved::NotWhole,
         {{L"cardFolderLetGo\\", Why::Unlisted}},
         holdFolder(L"")},
        {L"copyFolderHeld",
         [&](const std::wstring& n) { held.push_back(HoldFolder(dst(n, L""))); },
         Moved::Uncompared,
         {}},
        {L"copySubFolderHeld",
         [&](const std::wstring& n) { held.push_back(HoldFolder(dst(n, L"\\sub"))); },
         Moved::Uncompared,
         {}},
        {L"cardFileRewritten",
         lacking([&](const std::wstring& n) {
             temp.WriteFile(L"src\\" + n + L"\\a.jpg", "4321");
             MoveLastWriteTime(src(n, L"\\a.jpg"), 36000000000ULL);
         }),
         Moved::Changed,
         {}},
        {L"cardFileGone",
         lacking([&](const std::wstring& n) { ::DeleteFileW(src(n, L"\\a.jpg").c_str()); }),
         Moved::Changed,
         {}},
        {L"copyFileEdited",
         lacking([&](const std::wstring& n) {
             temp.WriteFile(L"dst\\" + n + L"\\a.jpg", "43210");
             MoveLastWriteTime(dst(n, L"\\a.jpg"), 36000000000ULL);
         }),
         Moved::CopyChanged,
         {}},
        {L"cardFileHeld",
         lacking([&](const std::wstring& n) {
             held.push_back(
                 ::CreateFileW(src(n, L"\\sub\\b.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         }),
         Moved::NotWhole,
         {{L"sub\\b.jpg", Why::Unread}}},
        {L"gainedAndCopied",
         lacking([&](const std::wstring& n) {
             temp.WriteFile(L"src\\" + n + L"\\new.jpg", "9");
             temp.WriteFile(L"dst\\" + n + L"\\new.jpg", "9");
             CopyTime(src(n, L"\\new.jpg"), dst(n, L"\\new.jpg"));
         }),
         Moved::NotWhole,
         {}},
        {L"gainedAndDiffering",
         lacking([&](const std::wstring& n) {
             temp.WriteFile(L"src\\" + n + L"\\new.jpg", "9");
             temp.WriteFile(L"dst\\" + n + L"\\new.jpg", "8");
             MoveLastWriteTime(dst(n, L"\\new.jpg"), 36000000000ULL);
         }),
         Moved::Differs,
         {}},
        // Mixed verdicts in one source: a card file that changed beside one the card would not give.
        {L"changedBesideUnread",
         lacking([&](const std::wstring& n) {
             temp.WriteFile(L"src\\" + n + L"\\a.jpg", "4321");
             MoveLastWriteTime(src(n, L"\\a.jpg"), 36000000000ULL);
             held.push_back(
                 ::CreateFileW(src(n, L"\\sub\\b.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         }),
         Moved::Changed,
         {{L"sub\\b.jpg", Why::Unread}}},
        // The shell's own move. Across volumes it takes a folder file by file: a file in use or a
        // full destination leaves the folder split, the moved files only at the destination.
        {L"moveSplit", splitByTheShell, Moved::Partly, {{L"sub\\b.jpg", Why::NotMoved}}, {}, true},
        {L"moveSplitBesideAShortCopy", // the destination filled up while it copied b.jpg
         [&](const std::wstring& n) {
             splitByTheShell(n);
             temp.WriteFile(L"dst\\" + n + L"\\sub\\b.jpg", "5");
         },
         Moved::Partly,
         {{L"sub\\b.jpg", Why::NotMovedBesideCopy}},
         {},
         true},
        {L"moveLeftWholeNameStood",
         none,
         Moved::NameStoodBefore,
         {},
         [&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\older.jpg", "older"); },
         true},
        {L"moveCardFolderHeld",
         none,
         Moved::NotCopied,
         {{L"moveCardFolderHeld\\", Why::Unlisted}},
         holdFolder(L""),
         true},
        {L"moveCopiedNotDeleted", [&](const std::wstring& n) { CopyTree(temp, n); }, Moved::Undeleted, {}, {}, true},
        // Gone from the card: the shell removes a source only once it moved it, so where its name
        // stands it took it there; the file found on neither side is named.
        {L"moveSourceGone",
         then(splitByTheShell, takenAway),
         Moved::Unconfirmed,
         {{L"sub\\b.jpg", Why::Vanished}},
         {},
         true},
        {L"moveSourceGoneNothingThere", takenAway, Moved::Gone, {}, {}, true}, // another program took it
        // A destination folder another program holds without sharing (a sync client) cannot be
        // listed: what left the card for it is not confirmed there, never taken as not moved.
        {L"moveSplitCopyHeld",
         then(splitByTheShell, copyHeld),
         Moved::Partly,
         {{L"a.jpg", Why::LeftUnconfirmed}, {L"sub\\b.jpg", Why::NotMovedCopyUnlisted}},
         {},
         true},
        {L"moveWholeCopyHeld",
         then(moveWhole, copyHeld),
         Moved::Unconfirmed,
         {{L"moveWholeCopyHeld\\", Why::LeftUnconfirmed}},
         {},
         true},
        {L"moveWholeCardSubFolderHeldBefore",
         [&](const std::wstring& n) {
             ::CloseHandle(held[heldAt[n]]);
             held[heldAt[n]] = INVALID_HANDLE_VALUE;
             moveWhole(n);
         },
         Moved::Unconfirmed,
         {{L"sub\\", Why::UnlistedBefore}},
         holdFolder(L"\\sub"),
         true},
        {L"moveWholeRewrittenAtAnotherSize", // by a viewer that rotated it while the question was open
         then([&](const std::wstring& n) { temp.WriteFile(L"src\\" + n + L"\\a.jpg", "123456"); }, moveWhole),
         Moved::Unconfirmed,
         {{L"a.jpg", Why::Resized}},
         {},
         true},
        {L"moveFileOnNeitherSide", // moved, then taken from the destination
         then(splitByTheShell, [&](const std::wstring& n) { ::DeleteFileW(dst(n, L"\\a.jpg").c_str()); }),
         Moved::NotWhole,
         {{L"a.jpg", Why::Vanished}},
         {},
         true},
        {L"moveNothingThere", none, Moved::NotCopied, {}, {}, true},
    };
    std::list<std::wstring> copied, moved;
    for (const Case& c : cases) {
        (c.move ? moved : copied).push_back(src(c.name, L""));
        WriteTree(temp, L"src\\" + std::wstring(c.name));
        heldAt[c.name] = held.size();
        if (c.before) c.before(c.name);
    }
    ::CreateDirectoryW((temp / L"dst").c_str(), nullptr);
    fhw::CTransferManifest copyManifest, moveManifest;
    copyManifest.Take(copied, true, temp / L"dst");
    moveManifest.Take(moved, true, temp / L"dst");
    for (const Case& c : cases) {
        if (!c.move) CopyTree(temp, c.name);
        c.change(c.name);
    }
    fhw::CTransferOutcome copyOutcome, moveOutcome;
    const fhw::CSourceVolume card = fhw::CSourceVolume::Of(temp / L"src");
    fhw::JudgeShellOperation(copyManifest, temp / L"dst", false, card, copyOutcome);
    fhw::JudgeShellOperation(moveManifest, temp / L"dst", true, card, moveOutcome);
    for (HANDLE handle : held) ::CloseHandle(handle);
    ASSERT_EQ(copyOutcome.sources.size() + moveOutcome.sources.size(), std::size(cases));
    size_t nextCopied = 0, nextMoved = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        const fhw::CSourceOutcome& outcome = c.move ? moveOutcome.sources[nextMoved++]
                                                    : copyOutcome.sources[nextCopied++];
        EXPECT_EQ(outcome.moved, c.expected);
        EXPECT_EQ(outcome.CountsArrived(), c.expected == Moved::All || c.expected == Moved::Unconfirmed);
        EXPECT_EQ(outcome.CountsPartly(), c.expected == Moved::Partly);
        Stayed stayed;
        for (const auto& file : outcome.stayed) stayed.emplace_back(file.path, file.why);
        EXPECT_EQ(stayed, c.stayed);
        EXPECT_EQ(outcome.copy.empty(), c.expected == Moved::NotCopied || (c.move && c.expected == Moved::Gone))
            << "names a copy only where one is";
    }
}

// A large card copied but for one file another program holds is told without reading the card
// again: the judgement reads at most a quarter of the card's bytes on top of the copy's own read.
TEST(TransferManifest, AnIncompleteCopyIsJudgedWithoutReadingTheCardAgain)
{
    CTempFolder temp;
    const std::string video(8 << 20, 'v');
    const int files = 6;
    for (int i = 0; i < files; ++i) temp.WriteFile(L"src\\100BIG\\M" + std::to_wstring(i) + L".MOV", video);
    fhw::CTransferManifest manifest;
    manifest.Take({temp / L"src\\100BIG"}, true, temp / L"dst");
    for (int i = 0; i + 1 < files; ++i) {
        const std::wstring name = L"\\M" + std::to_wstring(i) + L".MOV";
        temp.WriteFile(L"dst\\100BIG" + name, video);
        CopyTime(temp / (L"src\\100BIG" + name), temp / (L"dst\\100BIG" + name));
    }
    const HANDLE locked = ::CreateFileW((temp / L"src\\100BIG\\M5.MOV").c_str(), GENERIC_READ, 0, nullptr,
                                        OPEN_EXISTING, 0, nullptr);
    const ULONGLONG before = BytesReadSoFar();
    fhw::CTransferOutcome outcome;
    fhw::JudgeShellOperation(manifest, temp / L"dst", false, fhw::CSourceVolume::Of(temp / L"src"), outcome);
    const ULONGLONG read = BytesReadSoFar() - before;
    ::CloseHandle(locked);
    if (before == 0) GTEST_SKIP() << "this system counts no reads of the process";
    const ULONGLONG card = static_cast<ULONGLONG>(files) * video.size();
    std::printf("judged a copy of %llu bytes left incomplete by one held file after reading %llu bytes (%.3f of "
                "the card)\n",
                card, read, static_cast<double>(read) / static_cast<double>(card));
    ASSERT_EQ(outcome.sources.size(), 1u);
    EXPECT_EQ(outcome.sources[0].moved, Moved::NotWhole);
    ASSERT_EQ(outcome.sources[0].stayed.size(), 1u);
    EXPECT_EQ(outcome.sources[0].stayed[0].path, L"M5.MOV");
    EXPECT_LE(read, card / 4);
}
