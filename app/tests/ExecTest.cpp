// The run's pieces: the source folder forms, the entries it takes, what arrived, the command line
// and the quiet-period clock.
#include "app/CommandExec.h"
#include "app/CommandInit.h"
#include "app/ExecChecks.h"
#include "app/MainFrame.h"
#include "app/TransferManifest.h"
#include "app/tests/ManifestTrees.h"
#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "foundation/UniqueHandle.h"
#include "resource.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

TEST(ExecChecks, SourceFolderForms)
{
    struct Case {
        const wchar_t* source;
        const wchar_t* folder; // null: throws `message`
        bool perDrive;
        UINT message;
    };
    const Case cases[] = {
        {L"\\DCIM", L"\\DCIM", true, 0},
        {L"\\\\server\\share", L"\\\\server\\share", false, 0},
        {L"e", L"E:\\", false, 0},
        {L"C:", L"C:\\", false, 0},
        {L"d:\\Photos", L"d:\\Photos\\", false, 0},
        {L"d:/Photos/", L"d:/Photos/", false, 0},
        {L"", nullptr, false, IDS_SRC_FOLDER_EMPTY},
        {L"DCIM", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"1:\\x", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"/DCIM", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
        {L"\x00E9:\\x", nullptr, false, IDS_SRC_FOLDER_NOT_ABSOLUTE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.source);
        bool perDrive = !c.perDrive;
        try {
            EXPECT_EQ(fhw::GetSourceFolder(c.source, perDrive), c.folder ? c.folder : L"(an error)");
            EXPECT_EQ(perDrive, c.perDrive);
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, c.message);
            EXPECT_NE(e.m_message.find(c.source), std::wstring::npos) << "the form's error names the source";
        }
    }
    std::wstring message;
    FormatResString(message, IDS_SRC_FOLDER_NOT_ABSOLUTE, L"DCIM");
    EXPECT_NE(message.find(L"\\ や C:\\"), std::wstring::npos) << "backslashes survive the string table";
}

TEST(CollectSources, PatternIsSearchedAndResultsAreInNaturalOrder)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"100DCIM", L"DCIM2", L"DCIM10", L"xdcim", L"other", L"101CANON"})
        ::CreateDirectoryW((temp / name).c_str(), nullptr);
    const std::list<std::wstring> expected{temp / L"100DCIM", temp / L"DCIM2", temp / L"DCIM10"};
    std::list<std::wstring> tooComplex;
    EXPECT_EQ(fhw::CollectSources(temp.Path(), L"DCIM", tooComplex), expected)
        << "unanchored: found anywhere in the name, case-sensitive, natural order";
    EXPECT_EQ(fhw::CollectSources(temp.Path(), L"^[0-9]{3}[A-Z_]{5}$", tooComplex),
              std::list<std::wstring>{temp / L"101CANON"});
    EXPECT_TRUE(tooComplex.empty());
}

// A name the engine gives up on is left out and named; the other names are taken as usual.
TEST(CollectSources, NameTooComplexForThePatternFailsAlone)
{
    CTempFolder temp;
    const std::wstring hostile = std::wstring(30, L'a') + L"!";
    for (const std::wstring& name : {std::wstring(L"100TESTS"), hostile, std::wstring(L"aaaa")})
        ::CreateDirectoryW((temp / name).c_str(), nullptr);
    std::list<std::wstring> tooComplex;
    EXPECT_EQ(fhw::CollectSources(temp.Path(), L"^([0-9]{3}[A-Z_]{5}|(a+)+$)", tooComplex),
              (std::list<std::wstring>{temp / L"100TESTS", temp / L"aaaa"}));
    EXPECT_EQ(tooComplex, std::list<std::wstring>{temp / hostile});
}

// A source folder that is there but cannot be listed is unknown, never empty: a missing or empty
// one lists nothing and is no failure.
TEST(CollectSources, FolderThatCannotBeListedIsToldFromAnEmptyOne)
{
    CTempFolder temp;
    const std::wstring pattern = L"^[0-9]{3}[A-Z_]{5}$";
    const struct {
        const char* what;
        std::vector<std::wstring> made; // folders inside DCIM
        bool exists;
        bool held; // by another program, without sharing
        bool unreadable;
    } rows[] = {
        {"held", {L"100TESTS", L"MISC"}, true, true, true},
        {"missing", {}, false, false, false},
        {"empty", {}, true, false, false},
    };
    int n = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        const std::wstring folder = temp / (L"card" + std::to_wstring(n++) + L"\\DCIM");
        ::CreateDirectoryW(folder.substr(0, folder.rfind(L'\\')).c_str(), nullptr);
        if (row.exists) ::CreateDirectoryW(folder.c_str(), nullptr);
        for (const std::wstring& name : row.made) ::CreateDirectoryW((folder + L"\\" + name).c_str(), nullptr);
        const CUniqueKernelHandle held(row.held ? HoldFolder(folder) : INVALID_HANDLE_VALUE);
        ASSERT_EQ(bool(held), row.held);
        std::list<std::wstring> tooComplex;
        bool unreadable = !row.unreadable;
        EXPECT_TRUE(fhw::CollectSources(folder, pattern, tooComplex, &unreadable).empty());
        EXPECT_EQ(unreadable, row.unreadable);
        EXPECT_TRUE(tooComplex.empty());
    }
}

// A card put back under the run's dialog is the card the run uses only while it holds no source
// the run's list lacks: a folder that came meanwhile gets a run of its own.
TEST(GainedSources, OnlyASourceTheListLacks)
{
    CTempFolder temp;
    const std::wstring pattern = L"^[0-9]{3}[A-Z_]{5}$";
    for (const wchar_t* name : {L"100TESTS", L"101ABCDE", L"MISC"}) ::CreateDirectoryW((temp / name).c_str(), nullptr);
    std::list<std::wstring> tooComplex;
    const std::list<std::wstring> listed = fhw::CollectSources(temp.Path(), pattern, tooComplex);
    ASSERT_EQ(listed.size(), 2u);
    const struct {
        const char* what;
        const wchar_t* made;    // made before the look
        const wchar_t* removed; // removed before the look
        bool gained;
    } rows[] = {
        {"as listed", nullptr, nullptr, false},
        {"an entry no source", L"OTHER", nullptr, false},
        {"a source gone (moved by another hand)", nullptr, L"101ABCDE", false},
        {"a new camera folder", L"102NEWER", nullptr, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.made) ::CreateDirectoryW((temp / row.made).c_str(), nullptr);
        if (row.removed) ::RemoveDirectoryW((temp / row.removed).c_str());
        EXPECT_EQ(fhw::GainedSources(temp.Path(), pattern, listed), row.gained);
    }
    EXPECT_FALSE(fhw::GainedSources(temp / L"gone", pattern, listed)) << "a folder gone holds no new source";
}

// Compiling grows faster than the pattern: a pattern beyond the bound is refused, by length alone.
TEST(ExecChecks, PatternLongerThanTheBoundIsRefusedBeforeItIsCompiled)
{
    const std::wstring nested = std::wstring(100, L'(') + L"a" + std::wstring(100, L')');
    std::wstring hostile;
    while (hostile.size() < 1024 * 1024) hostile += nested;
    EXPECT_NO_THROW(fhw::CheckPattern(std::wstring(fhw::kMaxPatternLength, L'a')));
    for (const std::wstring& pattern : {std::wstring(fhw::kMaxPatternLength + 1, L'a'), hostile + L"("}) {
        try {
            fhw::CheckPattern(pattern);
            ADD_FAILURE() << "accepted " << pattern.size() << " characters";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_PATTERN_TOO_LONG));
            EXPECT_NE(e.m_message.find(std::to_wstring(pattern.size())), std::wstring::npos) << "says how long";
        }
    }
}

TEST(CountArrived, CountsWhatStandsAtTheDestination)
{
    CTempFolder temp;
    temp.WriteFile(L"src\\a", "1");
    temp.WriteFile(L"src\\c", "3");
    const std::list<std::wstring> sources{temp / L"src\\a", temp / L"src\\b", temp / L"src\\c"};
    fhw::CTransferManifest manifest;
    manifest.Take(sources, true);
    temp.WriteFile(L"dst\\a", "1");
    temp.WriteFile(L"dst\\b", "2");
    EXPECT_EQ(manifest.CountArrived(temp / L"dst", false, true), 1u) << "b was gone before the shell ran, c never came";
    EXPECT_EQ(manifest.CountArrived(temp / L"dst\\", true, true), 0u) << "a moved source must be gone";
    EXPECT_EQ(manifest.CountArrived(temp / L"dst\\", true, false), 1u)
        << "with another card at the letter, what stands whole at the destination arrived";
    ::DeleteFileW((temp / L"src\\a").c_str());
    EXPECT_EQ(manifest.CountArrived(temp / L"dst\\", true, true), 1u);
}

// A folder counts only when it arrived whole; the manifest is taken before the sources change.
TEST(TransferManifest, AFolderArrivesOnlyWhole)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"whole", L"short", L"missing", L"emptyGone"}) {
        temp.WriteFile(std::wstring(L"src\\") + name + L"\\a.jpg", "1234");
        temp.WriteFile(std::wstring(L"src\\") + name + L"\\sub\\b.jpg", "56");
    }
    ::CreateDirectoryW((temp / L"src\\emptyGone\\empty").c_str(), nullptr);
    const std::list<std::wstring> sources{temp / L"src\\whole", temp / L"src\\short", temp / L"src\\missing",
                                          temp / L"src\\emptyGone"};
    fhw::CTransferManifest manifest;
    manifest.Take(sources, true);

    temp.WriteFile(L"dst\\whole\\a.jpg", "1234");
    temp.WriteFile(L"dst\\whole\\sub\\b.jpg", "56");
    temp.WriteFile(L"dst\\short\\a.jpg", "1234");
    temp.WriteFile(L"dst\\short\\sub\\b.jpg", "5"); // cut short
    temp.WriteFile(L"dst\\missing\\a.jpg", "1234"); // sub\b.jpg never came
    temp.WriteFile(L"dst\\emptyGone\\a.jpg", "1234");
    temp.WriteFile(L"dst\\emptyGone\\sub\\b.jpg", "56"); // the empty folder never came
    EXPECT_EQ(1u, manifest.CountArrived(temp / L"dst", false, true));
    EXPECT_EQ(0u, manifest.CountArrived(temp / L"dst", true, true)) << "a moved folder must be gone from its place";

    RemoveFolderTree(temp / L"src\\whole");
    EXPECT_EQ(1u, manifest.CountArrived(temp / L"dst\\", true, true));

    // Without the trees, a move is judged by its source being gone and its name at the destination.
    fhw::CTransferManifest moved;
    moved.Take({temp / L"src\\short", temp / L"src\\missing"}, false);
    RemoveFolderTree(temp / L"src\\short");
    EXPECT_EQ(1u, moved.CountArrived(temp / L"dst", true, true));
}

// The files left under `folder`, relative and sorted, folders marked with a trailing backslash;
// "-" when the folder itself is gone.
std::wstring LeftIn(const std::wstring& folder)
{
    if (::GetFileAttributesW(folder.c_str()) == INVALID_FILE_ATTRIBUTES) return L"-";
    std::vector<std::wstring> found;
    const auto walk = [&found](const auto& self, const std::wstring& root, const std::wstring& relative) -> void {
        WIN32_FIND_DATAW data{};
        const HANDLE find = ::FindFirstFileW((root + relative + L"\\*").c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") continue;
            const std::wstring below = relative.empty() ? name : relative.substr(1) + L"\\" + name;
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                found.push_back(below + L"\\");
                self(self, root, relative + L"\\" + name);
            } else {
                found.push_back(below);
            }
        } while (::FindNextFileW(find, &data));
        ::FindClose(find);
    };
    walk(walk, folder, std::wstring());
    std::sort(found.begin(), found.end());
    std::wstring text;
    for (const std::wstring& item : found) text += (text.empty() ? L"" : L" ") + item;
    return text;
}

// What a move under Wine deletes after its copy, and how each source is told by what stands where
// afterwards: each file whose copy compared equal goes, then each folder left empty; nothing of a
// source whose name stood at the destination or whose copy lacks a file; what the source gained or
// changed after the copy stays, with the folders that hold it.
TEST(TransferManifest, OnlyWhatTheCopyHoldsIsDeletedFromTheSource)
{
    using Moved = fhw::CTransferManifest::Moved;
    using Why = fhw::CTransferManifest::Why;
    using Stayed = std::vector<std::pair<std::wstring, Why>>;
    CTempFolder temp;
    std::vector<HANDLE> held;
    const auto src = [&temp](const std::wstring& n, const wchar_t* file) { return temp / (L"src\\" + n + file); };
    const auto dst = [&temp](const std::wstring& n, const wchar_t* file) { return temp / (L"dst\\" + n + file); };
    using Change = std::function<void(const std::wstring& name)>;
    const Change none = [](const std::wstring&) {};
    struct Case {
        const wchar_t* name;
        Change change; // after the copy
        Moved expected;
        const wchar_t* left; // in the source afterwards
        Stayed stayed;
        size_t files;       // deleted
        Change before = {}; // before the manifest is taken
    };
    // A change to a copy that lacks sub\b.jpg.
    const auto lacking = [&](Change change) -> Change {
        return [&, change](const std::wstring& n) {
            ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str());
            change(n);
        };
    };
    // A rewrite on the card, its last-write time an hour on however fast it came.
    const auto rewrite = [&temp](const std::wstring& path, const char* bytes) {
        temp.WriteFile(path.substr(temp.Path().size() + 1), bytes);
        MoveLastWriteTime(path, 36000000000ULL);
    };
    const auto unshared = [](const std::wstring& path) {
        return ::CreateFileW(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    // Folders another program holds without sharing, as a scanner does: nobody can list them.
    std::map<std::wstring, HANDLE> heldFromTheStart;
    const auto holdFolder = [&](const wchar_t* below) -> Change {
        return [&, below](const std::wstring& n) {
            heldFromTheStart[n] = HoldFolder(src(n, below));
            EXPECT_NE(heldFromTheStart[n], INVALID_HANDLE_VALUE);
        };
    };
    const Change letGo = [&](const std::wstring& n) {
        ::CloseHandle(heldFromTheStart[n]);
        heldFromTheStart.erase(n);
    };
    // What the shell's copy leaves of a folder it could not list: the folder, empty.
    const Change emptyCopy = [&](const std::wstring& n) {
        RemoveFolderTree(dst(n, L""));
        ::CreateDirectoryW(dst(n, L"").c_str(), nullptr);
    };
    const auto holdCopy = [&](const wchar_t* below) -> Change {
        return [&, below](const std::wstring& n) { held.push_back(HoldFolder(dst(n, below))); };
    };
    const auto holdCard = [&](const wchar_t* below) -> Change {
        return [&, below](const std::wstring& n) { held.push_back(HoldFolder(src(n, below))); };
    };
    const wchar_t* all = L"a.jpg sub\\ sub\\b.jpg";
    const Case cases[] = {
        {L"whole", none, Moved::All, L"-", {}, 2},
        {L"lacksAFile",
         [&](const std::wstring& n) { ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str()); },
         Moved::NotWhole,
         all,
         {},
         0},
        {L"cutShort",
         [&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\a.jpg", "12"); },
         Moved::NotWhole,
         all,
         {},
         0},
        // The copy holds what the card does not: it is no incomplete copy that may go. The card
        // file stands as listed, so the copy changed and the card keeps the original.
        {L"longer",
         [&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\a.jpg", "12345"); },
         Moved::CopyChanged,
         all,
         {},
         0},
        {L"shortAndRewritten",
         [&](const std::wstring& n) {
             ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str());
             rewrite(src(n, L"\\a.jpg"), "4321");
         },
         Moved::Changed,
         all,
         {},
         0},
        {L"shortAndOriginalGone",
         [&](const std::wstring& n) {
             ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str());
             ::DeleteFileW(src(n, L"\\a.jpg").c_str());
         },
         Moved::Changed,
         L"sub\\ sub\\b.jpg",
         {},
         0},
        // The copy's a.jpg is whole, the card's grew after it: the copy holds the only intact original.
        {L"shortAndGrownOnTheCard",
         [&](const std::wstring& n) {
             ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str());
             temp.WriteFile(L"src\\" + n + L"\\a.jpg", "12340");
         },
         Moved::Changed,
         all,
         {},
         0},
        {L"oneByte", // a.jpg left the card: its copy is the only one
         [&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\sub\\b.jpg", "57"); },
         Moved::Partly,
         L"sub\\ sub\\b.jpg",
         {{L"sub\\b.jpg", Why::Differs}},
         1},
        {L"allRewritten", // on the card, every file, after its copy stood whole
         [&](const std::wstring& n) {
             rewrite(src(n, L"\\a.jpg"), "4321");
             rewrite(src(n, L"\\sub\\b.jpg"), "65");
         },
         Moved::Changed,
         all,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Differs}},
         0},
        {L"grewAfter",
         [&](const std::wstring& n) { temp.WriteFile(L"src\\" + n + L"\\sub\\new.jpg", "9"); },
         Moved::Partly,
         L"sub\\ sub\\new.jpg",
         {{L"sub\\new.jpg", Why::Added}},
         2},
        {L"appendedAfter",
         [&](const std::wstring& n) { temp.WriteFile(L"src\\" + n + L"\\a.jpg", "12340"); },
         Moved::Partly,
         L"a.jpg",
         {{L"a.jpg", Why::Differs}},
         1},
        {L"heldOpen", // by a viewer that does not share deleting
         [&](const std::wstring& n) {
             held.push_back(::CreateFileW(src(n, L"\\sub\\b.jpg").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
         },
         Moved::Partly,
         L"sub\\ sub\\b.jpg",
         {{L"sub\\b.jpg", Why::Undeleted}},
         1},
        {L"allHeld",
         [&](const std::wstring& n) {
             for (const wchar_t* file : {L"\\a.jpg", L"\\sub\\b.jpg"})
                 held.push_back(::CreateFileW(src(n, file).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                              OPEN_EXISTING, 0, nullptr));
         },
         Moved::Undeleted,
         all,
         {{L"a.jpg", Why::Undeleted}, {L"sub\\b.jpg", Why::Undeleted}},
         0},
        // A program holds the file without sharing reads: it was never compared, so it is not told
        // as copied and undeletable.
        {L"heldUnread",
         [&](const std::wstring& n) {
             held.push_back(
                 ::CreateFileW(src(n, L"\\sub\\b.jpg").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         },
         Moved::Partly,
         L"sub\\ sub\\b.jpg",
         {{L"sub\\b.jpg", Why::Unreadable}},
         1},
        {L"allHeldUnread",
         [&](const std::wstring& n) {
             for (const wchar_t* file : {L"\\a.jpg", L"\\sub\\b.jpg"})
                 held.push_back(
                     ::CreateFileW(src(n, file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
         },
         Moved::Unverified,
         all,
         {{L"a.jpg", Why::Unreadable}, {L"sub\\b.jpg", Why::Unreadable}},
         0},
        {L"fileDeletedElsewhere", // after its copy stood whole: the source left the card whole
         [&](const std::wstring& n) { ::DeleteFileW(src(n, L"\\sub\\b.jpg").c_str()); },
         Moved::All,
         L"-",
         {{L"sub\\b.jpg", Why::Gone}},
         1},
        {L"readOnly",
         [&](const std::wstring& n) { ::SetFileAttributesW(src(n, L"\\sub\\b.jpg").c_str(), FILE_ATTRIBUTE_READONLY); },
         Moved::All,
         L"-",
         {},
         2},
        {L"movedAway", // by someone else: what was noted never went through these deletes
         [&](const std::wstring& n) {
             ::CreateDirectoryW((temp / L"away").c_str(), nullptr);
             ::MoveFileW(src(n, L"").c_str(), (temp / (L"away\\" + n)).c_str());
         },
         Moved::Gone,
         L"-",
         {{L"a.jpg", Why::Gone}, {L"sub\\b.jpg", Why::Gone}},
         0},
        // An incomplete copy is judged by all it holds: a file the card no longer has, a copy that
        // cannot be read, one that differs from a card file never noted or still as listed.
        {L"gainedThenGone",
         lacking([&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\new.jpg", "9"); }),
         Moved::Changed,
         all,
         {},
         0},
        {L"gainedDiffering",
         lacking([&](const std::wstring& n) {
             temp.WriteFile(L"src\\" + n + L"\\new.jpg", "9");
             temp.WriteFile(L"dst\\" + n + L"\\new.jpg", "8");
         }),
         Moved::Differs,
         L"a.jpg new.jpg sub\\ sub\\b.jpg",
         {},
         0},
        {L"copyUnopenable",
         lacking([&](const std::wstring& n) { held.push_back(unshared(dst(n, L"\\a.jpg"))); }),
         Moved::Uncompared,
         all,
         {},
         0},
        {L"copyChanged",
         lacking([&](const std::wstring& n) { temp.WriteFile(L"dst\\" + n + L"\\a.jpg", "4321"); }),
         Moved::CopyChanged,
         all,
         {},
         0},
        {L"cardUnread",
         lacking([&](const std::wstring& n) { held.push_back(unshared(src(n, L"\\sub\\b.jpg"))); }),
         Moved::NotWhole,
         all,
         {{L"sub\\b.jpg", Why::Unread}},
         0},
        // A viewer holds the card file beside its copy: the card still has it, so the copy is not
        // told as the only one.
        {L"cardHeldBesideItsCopy",
         lacking([&](const std::wstring& n) { held.push_back(unshared(src(n, L"\\a.jpg"))); }),
         Moved::Uncompared,
         all,
         {},
         0},
        {L"wholeCopyChanged", // every file, at the destination: the card keeps the originals
         [&](const std::wstring& n) {
             temp.WriteFile(L"dst\\" + n + L"\\a.jpg", "4321");
             temp.WriteFile(L"dst\\" + n + L"\\sub\\b.jpg", "65");
         },
         Moved::CopyChanged,
         all,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Differs}},
         0},
        {L"stood", none, Moved::NameStoodBefore, all, {}, 0}, // its copy is whole, but it may merge an older one
        {L"gone", none, Moved::Missing, L"-", {}, 0},
        // A card folder that cannot be listed holds what is not known: nothing of it counts as
        // copied, nothing is deleted, and the folder is named as the card would not give it.
        {L"cardFolderHeld",
         emptyCopy,
         Moved::NotWhole,
         all,
         {{L"cardFolderHeld\\", Why::Unlisted}},
         0,
         holdFolder(L"")},
        {L"cardSubFolderHeld",
         [&](const std::wstring& n) { ::DeleteFileW(dst(n, L"\\sub\\b.jpg").c_str()); },
         Moved::NotWhole,
         all,
         {{L"sub\\", Why::Unlisted}},
         0,
         holdFolder(L"\\sub")},
        {L"cardFolderLetGo", // after the shell passed it: its files are there again, not in the copy
         [&](const std::wstring& n) {
             letGo(n);
             emptyCopy(n);
         },
         Moved::NotWhole,
         all,
         {{L"cardFolderLetGo\\", Why::Unlisted}},
         0,
         holdFolder(L"")},
        // Held once its copy stood whole: what it holds after the deletes is not known, so it is
        // named as not listed rather than as an empty folder that could not be deleted.
        {L"cardSubFolderHeldAfterItsCopy", holdCard(L"\\sub"), Moved::Partly, L"sub\\", {{L"sub\\", Why::Unlisted}}, 2},
        // A copy that cannot be listed cannot be compared: both are kept, no advice to delete it,
        // and it is not told as differing.
        {L"copyFolderHeld", holdCopy(L""), Moved::Uncompared, all, {}, 0},
        {L"copySubFolderHeld", holdCopy(L"\\sub"), Moved::Uncompared, all, {}, 0},
        // A copy file another program holds without sharing (a sync client) is not read: the card
        // file stays for that, not as differing.
        {L"copyFileHeld",
         [&](const std::wstring& n) { held.push_back(unshared(dst(n, L"\\a.jpg"))); },
         Moved::Partly,
         L"a.jpg",
         {{L"a.jpg", Why::CopyUnreadable}},
         1},
        {L"copyFilesAllHeld",
         [&](const std::wstring& n) {
             for (const wchar_t* file : {L"\\a.jpg", L"\\sub\\b.jpg"}) held.push_back(unshared(dst(n, file)));
         },
         Moved::Uncompared,
         all,
         {{L"a.jpg", Why::CopyUnreadable}, {L"sub\\b.jpg", Why::CopyUnreadable}},
         0},
        {L"nothingCopied", [&](const std::wstring& n) { RemoveFolderTree(dst(n, L"")); }, Moved::NotCopied, all, {}, 0},
        // Card files rewritten at their size with their time kept: neither side moved from the
        // listing, so which one changed is not told.
        {L"rewrittenKeepingItsTime",
         [&](const std::wstring& n) {
             RewriteKeepingTime(temp, src(n, L"\\a.jpg"), "4321");
             RewriteKeepingTime(temp, src(n, L"\\sub\\b.jpg"), "65");
         },
         Moved::Differs,
         all,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Differs}},
         0},
        {L"shortAndRewrittenKeepingItsTime",
         lacking([&](const std::wstring& n) { RewriteKeepingTime(temp, src(n, L"\\a.jpg"), "4321"); }),
         Moved::Differs,
         all,
         {},
         0},
        // Mixed verdicts in one source: a card file that changed beside one that cannot be read.
        {L"changedBesideUnreadable",
         [&](const std::wstring& n) {
             rewrite(src(n, L"\\a.jpg"), "4321");
             held.push_back(unshared(src(n, L"\\sub\\b.jpg")));
         },
         Moved::Changed,
         all,
         {{L"a.jpg", Why::Differs}, {L"sub\\b.jpg", Why::Unreadable}},
         0},
        {L"shortChangedBesideUnread",
         lacking([&](const std::wstring& n) {
             rewrite(src(n, L"\\a.jpg"), "4321");
             held.push_back(unshared(src(n, L"\\sub\\b.jpg")));
         }),
         Moved::Changed,
         all,
         {{L"sub\\b.jpg", Why::Unread}},
         0},
    };
    std::list<std::wstring> sources;
    for (const Case& c : cases) {
        sources.push_back(src(c.name, L""));
        if (c.expected != Moved::Missing) WriteTree(temp, L"src\\" + std::wstring(c.name));
        if (c.expected == Moved::NameStoodBefore) WriteTree(temp, L"dst\\" + std::wstring(c.name));
        if (c.before) c.before(c.name);
    }
    fhw::CTransferManifest manifest;
    manifest.Take(sources, true, temp / L"dst");
    size_t index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.name);
        if (c.expected != Moved::Missing && c.expected != Moved::NameStoodBefore) CopyTree(temp, c.name); // the copy
        c.change(c.name);
        const fhw::CTransferManifest::CDeleted deleted = manifest.DeleteVerified(index++, temp / L"dst");
        for (HANDLE handle : held) ::CloseHandle(handle);
        held.clear();
        if (heldFromTheStart.count(c.name)) letGo(c.name);
        EXPECT_EQ(deleted.moved, c.expected);
        EXPECT_EQ(LeftIn(src(c.name, L"")), c.left);
        EXPECT_EQ(deleted.stands, std::wstring(c.left) != L"-");
        EXPECT_EQ(deleted.files, c.files);
        // Named for the message: what did not leave the card through the deletes, and why.
        Stayed stayed;
        for (const auto& file : deleted.stayed) stayed.emplace_back(file.path, file.why);
        EXPECT_EQ(stayed, c.stayed);
    }
    EXPECT_EQ(LeftIn(dst(L"whole", L"")), all) << "the copy stays as it came";
}

TEST(CommandLine, OnlyStartIsAccepted)
{
    fhw::CCommandLineParser parser;
    parser.Parse(std::vector<std::wstring>{L"prog", L"-Start"});
    EXPECT_TRUE(parser.m_start) << "either sign, any case";
    const std::pair<std::vector<std::wstring>, UINT> wrong[] = {{{L"prog", L"/start", L"extra"}, 58906},
                                                                {{L"prog", L"/x"}, 58907}};
    for (const auto& [arguments, id] : wrong) {
        fhw::CCommandLineParser other;
        try {
            other.Parse(arguments);
            ADD_FAILURE() << "accepted";
        } catch (const my::CException& e) {
            EXPECT_EQ(e.m_id, id);
            EXPECT_NE(e.m_message.find(arguments.back()), std::wstring::npos) << "names the argument";
        }
        EXPECT_FALSE(other.m_start);
    }
}

TEST(Idle, ElapsedAcrossTheTickCountWrap)
{
    fhw::CIdle idle(500);
    idle.m_last = 0xFFFFFF00;
    EXPECT_FALSE(idle.IsElapsed(0xFFFFFFFF));
    EXPECT_FALSE(idle.IsElapsed(0x000000F3));
    EXPECT_TRUE(idle.IsElapsed(0x000000F4));
}
