// A copy that did not come whole, judged by everything that stands in it: what the card no longer
// has, a copy that cannot be read, and which side of a differing copy changed.
#include "app/RunJudgement.h"
#include "app/TransferManifest.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using Moved = fhw::CTransferManifest::Moved;
using Why = fhw::CTransferManifest::Why;
using Stayed = std::vector<std::pair<std::wstring, Why>>;

// Moves the last-write time of `path` an hour on, as a rewrite on the card does however fast.
void Touch(const std::wstring& path)
{
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    FILETIME written{};
    ::GetFileTime(file, nullptr, nullptr, &written);
    ULARGE_INTEGER time{{written.dwLowDateTime, written.dwHighDateTime}};
    time.QuadPart += 36000000000ULL;
    written = {time.LowPart, time.HighPart};
    EXPECT_TRUE(::SetFileTime(file, nullptr, nullptr, &written));
    ::CloseHandle(file);
}

HANDLE HoldUnshared(const std::wstring& path)
{
    return ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
}

struct Case {
    const wchar_t* name;
    bool whole;                                       // the copy came whole before the change
    std::function<void(const std::wstring& name)> at; // after the manifest and the copy
    Moved moved;
    Stayed stayed;
};

} // namespace

// Each source holds a.jpg and sub\b.jpg when it is noted; its copy lacks sub\b.jpg unless whole.
// Deletion is advised only where every file of the copy stands byte for byte on the card.
TEST(CopyJudgement, AnIncompleteCopyIsJudgedByAllItHoldsAndADifferenceByTheSideThatChanged)
{
    CTempFolder temp;
    std::vector<HANDLE> held;
    const auto src = [&temp](const std::wstring& n, const wchar_t* f) { return temp / (L"src\\" + n + f); };
    const auto dst = [&temp](const std::wstring& n, const wchar_t* f) { return temp / (L"dst\\" + n + f); };
    const auto write = [&temp](const std::wstring& path, const char* bytes) {
        temp.WriteFile(path.substr(temp.Path().size() + 1), bytes);
    };
    const Case cases[] = {
        {L"lacksAFile", false, [](const std::wstring&) {}, Moved::NotWhole, {}},
        // Came into the source during the run, was copied and left the card: the copy is its only place.
        {L"gainedThenGone",
         false,
         [&](const std::wstring& n) { write(dst(n, L"\\new.jpg"), "9"); },
         Moved::Changed,
         {}},
        {L"gainedAndEqual",
         false,
         [&](const std::wstring& n) {
             write(src(n, L"\\new.jpg"), "9");
             write(dst(n, L"\\new.jpg"), "9");
         },
         Moved::NotWhole,
         {}},
        {L"gainedAndDiffering",
         false,
         [&](const std::wstring& n) {
             write(src(n, L"\\new.jpg"), "9");
             write(dst(n, L"\\new.jpg"), "8");
         },
         Moved::Differs,
         {}},
        {L"copyUnopenable",
         false,
         [&](const std::wstring& n) { held.push_back(HoldUnshared(dst(n, L"\\a.jpg"))); },
         Moved::Differs,
         {}},
        {L"copyChanged",
         false,
         [&](const std::wstring& n) { write(dst(n, L"\\a.jpg"), "4321"); },
         Moved::CopyChanged,
         {}},
        {L"cardChanged",
         false,
         [&](const std::wstring& n) {
             write(src(n, L"\\a.jpg"), "4321");
             Touch(src(n, L"\\a.jpg"));
         },
         Moved::Changed,
         {}},
        // The shell could not read it: the copy lacks it, and says why.
        {L"cardUnread",
         false,
         [&](const std::wstring& n) { held.push_back(HoldUnshared(src(n, L"\\sub\\b.jpg"))); },
         Moved::NotWhole,
         {{L"sub\\b.jpg", Why::Unread}}},
        // Whole copies of which every file differs, so that nothing leaves the card.
        {L"wholeCopyChanged",
         true,
         [&](const std::wstring& n) {
             write(dst(n, L"\\a.jpg"), "0000");
             write(dst(n, L"\\sub\\b.jpg"), "00");
         },
         Moved::CopyChanged,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Differs}}},
        {L"wholeCardChanged",
         true,
         [&](const std::wstring& n) {
             write(src(n, L"\\a.jpg"), "4321");
             Touch(src(n, L"\\a.jpg"));
             write(dst(n, L"\\sub\\b.jpg"), "00");
         },
         Moved::Changed,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Differs}}},
        {L"wholeCopyUnopenable",
         true,
         [&](const std::wstring& n) {
             for (const wchar_t* f : {L"\\a.jpg", L"\\sub\\b.jpg"}) held.push_back(HoldUnshared(dst(n, f)));
         },
         Moved::Differs,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Differs}}},
    };
    std::list<std::wstring> sources;
    for (const Case& c : cases) {
        sources.push_back(src(c.name, L""));
        write(src(c.name, L"\\a.jpg"), "1234");
        write(src(c.name, L"\\sub\\b.jpg"), "56");
    }
    fhw::CTransferManifest manifest;
    manifest.Take(sources, true, temp / L"dst");
    size_t index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        write(dst(c.name, L"\\a.jpg"), "1234");
        if (c.whole) write(dst(c.name, L"\\sub\\b.jpg"), "56");
        c.at(c.name);
        // A move deletes nothing of these; a copy judges them the same way.
        const fhw::CTransferManifest::CDeleted deleted = manifest.DeleteVerified(index, temp / L"dst");
        EXPECT_EQ(deleted.moved, c.moved);
        EXPECT_EQ(deleted.files, 0u);
        Stayed stayed;
        for (const auto& file : deleted.stayed) stayed.emplace_back(file.path, file.why);
        EXPECT_EQ(stayed, c.stayed);
        if (!c.whole) {
            std::vector<fhw::CTransferManifest::CStayedFile> copied;
            EXPECT_EQ(manifest.JudgeCopy(index, temp / L"dst", copied), c.moved);
            EXPECT_EQ(copied.size(), c.stayed.size());
        }
        ++index;
        for (HANDLE handle : held) ::CloseHandle(handle);
        held.clear();
    }
}

// A copy run names what did not come, judged as the move judges it; what came whole arrived.
TEST(CopyJudgement, ACopyRunJudgesWhatDidNotComeByItsCopy)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"100WHOLE", L"101LOCKD", L"102NONE_"}) {
        temp.WriteFile(std::wstring(L"DCIM\\") + name + L"\\a.jpg", "1234");
        temp.WriteFile(std::wstring(L"DCIM\\") + name + L"\\b.jpg", "56");
    }
    const std::list<std::wstring> sources{temp / L"DCIM\\100WHOLE", temp / L"DCIM\\101LOCKD", temp / L"DCIM\\102NONE_"};
    ::CreateDirectoryW((temp / L"dst").c_str(), nullptr);
    fhw::CTransferManifest manifest;
    manifest.Take(sources, true, temp / L"dst");
    temp.WriteFile(L"dst\\100WHOLE\\a.jpg", "1234");
    temp.WriteFile(L"dst\\100WHOLE\\b.jpg", "56");
    temp.WriteFile(L"dst\\101LOCKD\\a.jpg", "1234");
    const HANDLE locked = HoldUnshared(temp / L"DCIM\\101LOCKD\\b.jpg");
    fhw::CTransferOutcome outcome;
    fhw::JudgeShellOperation(manifest, temp / L"dst", false, fhw::CSourceVolume::Of(temp / L"DCIM"), outcome);
    ::CloseHandle(locked);
    ASSERT_EQ(outcome.sources.size(), 3u);
    EXPECT_EQ(outcome.sources[0].moved, Moved::All);
    EXPECT_EQ(outcome.sources[1].moved, Moved::NotWhole);
    ASSERT_EQ(outcome.sources[1].stayed.size(), 1u);
    EXPECT_EQ(outcome.sources[1].stayed[0].path, L"b.jpg");
    EXPECT_EQ(outcome.sources[1].stayed[0].why, Why::Unread);
    EXPECT_EQ(outcome.sources[2].moved, Moved::NotWhole);
    EXPECT_EQ(outcome.Arrived(), 1u);
}
