// What a run tells when the shell did not do all of the work: skipped, cancelled, cut short by a
// pulled card; and what it must not do twice.
#include "E2eFixture.h"

#include "foundation/ResString.h"
#include "harness/UnixScript.h"

#include "resource.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr DWORD kCopy = 0x1;
constexpr DWORD kConfirm = 0x2;
constexpr DWORD kEject = 0x4;

// A message of the run: drive, operation, entries handed to the shell, entries arrived.
std::wstring OutcomeText(UINT id, wchar_t drive, bool copy, size_t count, const std::wstring& arrived)
{
    std::wstring text;
    FormatResString(text, id, std::wstring(1, drive).c_str(), LoadResString(copy ? 173 : 172).c_str(),
                    std::to_wstring(count).c_str(), arrived.c_str());
    return text;
}

std::wstring OutcomeText(UINT id, wchar_t drive, bool copy, size_t count, size_t arrived)
{
    return OutcomeText(id, drive, copy, count, std::to_wstring(arrived));
}

// The names in `folder` in the order the system lists them, which is the order the move deletes them in.
std::vector<std::wstring> ListedNames(const std::wstring& folder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW data{};
    const HANDLE find = ::FindFirstFileW((folder + L"\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

// Writes `bytes` over the start of a file that is there and that nobody holds; false otherwise.
bool RewriteInPlace(const std::wstring& path, const std::string& bytes)
{
    const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0,
                                      nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                    written == bytes.size();
    ::CloseHandle(file);
    return ok;
}

// Holds files open as a picture viewer does: reading, and sharing only reads, so that nobody can
// delete them meanwhile.
class CViewer {
public:
    ~CViewer() { Close(); }
    bool Open(const std::wstring& path)
    {
        const HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                          nullptr);
        if (file == INVALID_HANDLE_VALUE) return false;
        m_files.push_back(file);
        return true;
    }
    void Close()
    {
        for (HANDLE file : m_files) ::CloseHandle(file);
        m_files.clear();
    }

private:
    std::vector<HANDLE> m_files;
};

// A line of a kept source, or of one of its files, in message `id`.
std::wstring Line(UINT id, const std::wstring& first, const std::wstring& second = {})
{
    std::wstring text;
    FormatResString(text, id, first.c_str(), second.c_str());
    return text;
}

// The message of a move of `count` sources of which `arrived` arrived whole and `partly` in part,
// with the paragraphs `kept`.
std::wstring MoveText(wchar_t drive, size_t count, size_t arrived, size_t partly, const std::wstring& kept)
{
    const std::wstring arrivedText = partly ? Line(IDS_TRANSFER_ARRIVED_WITH_PART, std::to_wstring(arrived),
                                                   std::to_wstring(partly))
                                            : std::to_wstring(arrived);
    return OutcomeText(IDS_TRANSFER_INCOMPLETE, drive, false, count, arrivedText) + kept;
}

} // namespace

class OutcomeTest : public ProgramTest {
protected:
    // Waits for a message box saying `text` and answers it with OK; a dialog that comes before it
    // (the shell's own word) is answered with `other` when that is not 0. False, with a failure
    // naming what came instead, when it did not come within `ms`.
    bool AnswerMessage(const std::wstring& text, DWORD ms = kRunWait, int other = 0)
    {
        return AnswerMessageOf([&text] { return text; }, ms, other);
    }
    // The same for a text that `expected` gives anew while waiting (it may count what the run left).
    template <class Expected> bool AnswerMessageOf(Expected expected, DWORD ms = kRunWait, int other = 0)
    {
        std::wstring seen, text;
        HWND box = nullptr;
        WaitUntil(
            [&] {
                for (HWND dialog : FindDialogs(Pid())) {
                    seen = DialogStaticTexts(dialog);
                    text = expected();
                    if (seen == text)
                        box = dialog;
                    else if (other)
                        AnswerDialog(dialog, other);
                }
                return box != nullptr;
            },
            ms);
        if (!box) {
            ADD_FAILURE() << "no message \"" << ToUtf8(text) << "\"; last seen: \"" << ToUtf8(seen) << "\"";
            return false;
        }
        return AnswerDialog(box, IDOK);
    }

    // The box with its OK button stands on the work area, and would on a screen of 1280 x 800.
    static void ExpectOnA1280By800Screen(HWND box)
    {
        RECT rect{}, work{}, ok{};
        ::GetWindowRect(box, &rect);
        ::GetWindowRect(::GetDlgItem(box, IDOK), &ok);
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
        EXPECT_TRUE(rect.left >= work.left && rect.top >= work.top && rect.right <= work.right &&
                    rect.bottom <= work.bottom)
            << "the box runs off the work area";
        EXPECT_LE(rect.bottom - rect.top, 800 - (work.top - 0) - (GetSystemMetrics(SM_CYSCREEN) - work.bottom))
            << "the box would not fit a screen 800 pixels high";
        EXPECT_LE(rect.right - rect.left, 1280);
        EXPECT_TRUE(ok.top >= work.top && ok.bottom <= work.bottom && ok.right > ok.left)
            << "the OK button is off the screen";
    }

    // The paragraph of message `id` that names the sources that stayed.
    static std::wstring KeptText(UINT id, const std::wstring& sources)
    {
        std::wstring text;
        FormatResString(text, id, sources.c_str());
        return text;
    }

    // `folders` camera folders 100MANY_, 101MANY_... of `files` small files each in `dcim`.
    static void AddManyFolders(const std::wstring& dcim, int folders, int files)
    {
        for (int f = 0; f < folders; ++f)
            for (int i = 0; i < files; ++i)
                ASSERT_TRUE(WriteFileBytes(dcim + L"\\" + ManyFolder(f) + L"\\F" + std::to_wstring(i) + L".JPG",
                                           std::string(200, 'x')));
    }
    static std::wstring ManyFolder(int f) { return std::to_wstring(100 + f) + L"MANY_"; }
    // How many of AddManyFolders' folders stand at the destination with every file of its size.
    size_t WholeFolders(int folders, int files) const
    {
        size_t whole = 0;
        for (int f = 0; f < folders; ++f) {
            int found = 0;
            for (int i = 0; i < files; ++i) {
                WIN32_FILE_ATTRIBUTE_DATA data{};
                const std::wstring path = m_destination + L"\\" + ManyFolder(f) + L"\\F" + std::to_wstring(i) + L".JPG";
                if (::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) && data.nFileSizeLow == 200)
                    ++found;
            }
            if (found == files) ++whole;
        }
        return whole;
    }

    // Arms the program and inserts a card whose one camera folder holds kLongMoveFiles small files;
    // its drive letter once the move has begun (`copied`: once its copy stands whole), empty (with a
    // failure) when it did not.
    static constexpr int kLongMoveFiles = 3000;
    std::wstring StartLongMove(bool copied)
    {
        if (!Arm(Values(0))) return {};
        const std::wstring drives = DefineCards({{}});
        if (drives.size() != 1) return {};
        AddManyFolders(m_cards[0].Root() + L"\\DCIM", 1, kLongMoveFiles);
        if (HasFatalFailure() || !AnnounceArrival(drives, Pid())) return {};
        const bool begun = WaitUntil(
            [&] { return copied ? WholeFolders(1, kLongMoveFiles) == 1 : SnapshotTree(m_destination).size() > 10; },
            4 * kRunWait);
        if (begun) return drives;
        ADD_FAILURE() << (copied ? "the copy did not end" : "the move did not begin");
        return {};
    }

    // Arms the program and inserts a card holding the long folder ManyFolder(0) and after it a small
    // one, ManyFolder(1), of kSmallFiles files of `bytes`; its drive letter once the copy of both
    // stands whole, while the long folder's deletes give time, empty (with a failure) otherwise.
    static constexpr int kSmallFiles = 5;
    static constexpr int kLongFolderFiles = 1000;
    std::wstring StartLongMoveWithSmallFolder(const std::string& bytes)
    {
        if (!Arm(Values(0))) return {};
        const std::wstring drives = DefineCards({{}});
        if (drives.size() != 1) return {};
        AddManyFolders(m_cards[0].Root() + L"\\DCIM", 1, kLongFolderFiles);
        for (int i = 0; i < kSmallFiles; ++i)
            EXPECT_TRUE(WriteFileBytes(SmallFile(m_cards[0].Root() + L"\\DCIM\\" + ManyFolder(1), i), bytes));
        if (HasFailure() || !AnnounceArrival(drives, Pid())) return {};
        const bool copied = WaitUntil(
            [&] {
                const TreeSnapshot copy = SnapshotTree(CopyFolder(1));
                return copy.size() == kSmallFiles &&
                       std::all_of(copy.begin(), copy.end(), [&](const auto& file) { return file.second == bytes; });
            },
            4 * kRunWait);
        if (copied) return drives;
        ADD_FAILURE() << "the copy did not end";
        return {};
    }
    static std::wstring SmallFile(const std::wstring& folder, int i)
    {
        return folder + L"\\F" + std::to_wstring(i) + L".JPG";
    }

    // The first card as built, of whose camera folders only `kept` stayed.
    TreeSnapshot CardKeeping(const std::wstring& kept) const
    {
        TreeSnapshot card = m_cards[0].WithoutCameraPart();
        for (const auto& [path, bytes] : m_cards[0].CameraPart())
            if (path.rfind(kept, 0) == 0) card.emplace(L"DCIM\\" + path, bytes);
        return card;
    }

    // The camera folder `f` of AddManyFolders as the program names it on drive `drive`, and its
    // copy at the destination.
    static std::wstring CardFolder(wchar_t drive, int f) { return drive + (L":\\DCIM\\" + ManyFolder(f)); }
    std::wstring CopyFolder(int f) const { return m_destination + L"\\" + ManyFolder(f); }

    // A file of `bytes` at `relative` inside m_destination.
    void PlaceAtDestination(const std::wstring& relative, const std::string& bytes)
    {
        ASSERT_TRUE(WriteFileBytes(m_destination + L"\\" + relative, bytes));
    }
};

// A folder of the same name stood at the destination: the card's is copied into it and stays on
// the card, and the message names it.
TEST_F(OutcomeTest, MoveOntoAFolderThatStoodKeepsTheSourceAndSaysSo)
{
    const ExecValues exec = Values(0);
    PlaceAtDestination(L"100TESTS\\older.jpg", "older");
    TreeSnapshot expected = SnapshotTree(m_destination);
    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    const std::wstring source = drives.substr(0, 1) + L":\\DCIM\\100TESTS";
    ASSERT_TRUE(AnswerMessage(OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, 1, 0) +
                                  KeptText(IDS_TRANSFER_KEPT_STOOD, source),
                              kRunWait, IDYES));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500)) << "a balloon after a run in which nothing arrived";
    expected.insert(m_cards[0].CameraPart().begin(), m_cards[0].CameraPart().end());
    ExpectSameTree(expected, SnapshotTree(m_destination), "destination");
    ExpectSameTree(m_cards[0].Original(), SnapshotTree(m_cards[0].Root()), "card");
}

// A card on another file system than the destination, as every real card is: Wine's shell alone
// would move nothing. Every folder moves but the one whose name stood at the destination.
TEST_F(OutcomeTest, MoveFromAnotherFileSystemEmptiesTheCardButForANameThatStood)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const ExecValues exec = Values(0);
    PlaceAtDestination(L"101ABCDE\\older.jpg", "older");
    TreeSnapshot expected = SnapshotTree(m_destination);
    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS", L"101ABCDE", L"102XYZAB"}});
    ASSERT_EQ(1u, drives.size());
    const std::wstring stood = drives.substr(0, 1) + L":\\DCIM\\101ABCDE";
    ASSERT_TRUE(AnswerMessage(OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, 3, 2) +
                                  KeptText(IDS_TRANSFER_KEPT_STOOD, stood),
                              kRunWait, IDYES));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    expected.insert(m_cards[0].CameraPart().begin(), m_cards[0].CameraPart().end());
    ExpectSameTree(expected, SnapshotTree(m_destination), "destination");
    ExpectSameTree(CardKeeping(L"101ABCDE"), SnapshotTree(m_cards[0].Root()), "card");
}

// A card pulled mid-move: the message counts the folders that stand whole at the destination.
TEST_F(OutcomeTest, CardPulledMidMoveCountsWhatStandsAtTheDestination)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{}});
    ASSERT_EQ(1u, drives.size());
    const int folders = 300, files = 5;
    AddManyFolders(m_cards[0].Root() + L"\\DCIM", folders, files);
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ASSERT_TRUE(WaitUntil([&] { return WholeFolders(folders, files) >= 10; }, kRunWait)) << "the move did not start";
    ASSERT_TRUE(m_drives[0]->Remove());
    if (m_program->WaitBalloons(1, 0) > 0) GTEST_SKIP() << "the move ended before the card was pulled";
    size_t whole = 0;
    EXPECT_TRUE(AnswerMessageOf(
        [&] {
            whole = WholeFolders(folders, files);
            return OutcomeText(IDS_TRANSFER_DRIVE_REMOVED, drives[0], false, folders, whole);
        },
        4 * kRunWait, IDCANCEL));
    EXPECT_GE(whole, 10u);
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500)) << "a balloon after the card was pulled";
}

// A file rewritten on the card (same size) once the copy stands whole stays, and so does its folder;
// the files that left the card have their only copies at the destination, which the message must
// never call an incomplete copy that may be deleted.
TEST_F(OutcomeTest, FileRewrittenAfterTheCopyLeavesAPartlyMovedFolderToldAsSuch)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const std::wstring drives = StartLongMove(true);
    ASSERT_EQ(1u, drives.size());
    const std::wstring folder = m_cards[0].Root() + L"\\DCIM\\" + ManyFolder(0);
    const std::vector<std::wstring> order = ListedNames(folder);
    // The last file the deletes reach that is still there and not held by them.
    std::wstring rewritten;
    for (auto name = order.rbegin(); name != order.rend() && rewritten.empty(); ++name)
        if (RewriteInPlace(folder + L"\\" + *name, std::string(200, 'y'))) rewritten = *name;
    if (rewritten.empty() || m_program->WaitBalloons(1, 0) > 0) GTEST_SKIP() << "the move ended before the rewrite";

    const std::wstring lines = Line(IDS_TRANSFER_PARTLY_MOVED, CardFolder(drives[0], 0), CopyFolder(0)) + L"\n" +
                               Line(IDS_TRANSFER_STAYED_DIFFERS, rewritten);
    EXPECT_TRUE(AnswerMessage(MoveText(drives[0], 1, 0, 1, KeptText(IDS_TRANSFER_KEPT_PARTLY, lines)), 4 * kRunWait));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    EXPECT_EQ(ListedNames(folder), std::vector<std::wstring>{rewritten}) << "what stayed on the card";
    EXPECT_EQ(1u, WholeFolders(1, kLongMoveFiles)) << "every file stands at the destination";
}

// The card's folder goes once the copy stands whole, its drive staying: not the program's deletes
// emptied it, and not the card went, so it is told as gone from the card with where its copy is.
TEST_F(OutcomeTest, CardFolderGoneAfterTheCopyIsToldAsGoneFromTheCardWithoutBalloon)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const std::wstring drives = StartLongMove(true);
    ASSERT_EQ(1u, drives.size());
    const std::wstring away = m_cards[0].Root() + L"\\away";
    ASSERT_TRUE(::MoveFileW((m_cards[0].Root() + L"\\DCIM").c_str(), away.c_str()));
    if (ListedNames(away + L"\\" + ManyFolder(0)).empty() || m_program->WaitBalloons(1, 0) > 0)
        GTEST_SKIP() << "the move ended before the folder went";
    const std::wstring gone = Line(IDS_TRANSFER_GONE_COPY, CardFolder(drives[0], 0), CopyFolder(0));
    EXPECT_TRUE(AnswerMessage(MoveText(drives[0], 1, 1, 0, KeptText(IDS_TRANSFER_KEPT_GONE, gone)), 4 * kRunWait));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500)) << "a balloon for a folder that another hand took";
    EXPECT_EQ(1u, WholeFolders(1, kLongMoveFiles));
}

// A viewer holds one photo open without letting it be deleted: the others left the card, so the
// folder is told as partly moved, with the warning and the file that stayed.
TEST_F(OutcomeTest, FileHeldOpenByAViewerLeavesAPartlyMovedFolderToldAsSuch)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{}});
    ASSERT_EQ(1u, drives.size());
    AddManyFolders(m_cards[0].Root() + L"\\DCIM", 1, 20);
    const std::wstring folder = m_cards[0].Root() + L"\\DCIM\\" + ManyFolder(0);
    CViewer viewer;
    ASSERT_TRUE(viewer.Open(folder + L"\\F7.JPG"));
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    const std::wstring lines = Line(IDS_TRANSFER_PARTLY_MOVED, CardFolder(drives[0], 0), CopyFolder(0)) + L"\n" +
                               Line(IDS_TRANSFER_STAYED_UNDELETED, L"F7.JPG");
    EXPECT_TRUE(AnswerMessage(MoveText(drives[0], 1, 0, 1, KeptText(IDS_TRANSFER_KEPT_PARTLY, lines))));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    viewer.Close();
    EXPECT_EQ(ListedNames(folder), std::vector<std::wstring>{L"F7.JPG"}) << "what stayed on the card";
    EXPECT_EQ(1u, WholeFolders(1, 20));
}

// Every photo of a folder is rewritten on the card once its copy stands whole: nothing of it left
// the card, and its copy, whole, holds the only versions from before; no advice to delete it.
TEST_F(OutcomeTest, FolderRewrittenAfterItsWholeCopyIsToldAsChangedNotAsAnIncompleteCopy)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const std::wstring drives = StartLongMoveWithSmallFolder("before");
    ASSERT_EQ(1u, drives.size());
    const std::wstring dcim = m_cards[0].Root() + L"\\DCIM";
    const std::wstring second = dcim + L"\\" + ManyFolder(1);
    for (int i = 0; i < kSmallFiles; ++i) ASSERT_TRUE(RewriteInPlace(SmallFile(second, i), "after!"));
    if (ListedNames(dcim + L"\\" + ManyFolder(0)).empty() || m_program->WaitBalloons(1, 0) > 0)
        GTEST_SKIP() << "the move reached the second folder before the rewrite";

    const std::wstring changed = Line(IDS_TRANSFER_CHANGED_COPY, CardFolder(drives[0], 1), CopyFolder(1));
    EXPECT_TRUE(
        AnswerMessage(MoveText(drives[0], 2, 1, 0, KeptText(IDS_TRANSFER_KEPT_CHANGED, changed)), 4 * kRunWait));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    EXPECT_EQ(size_t{kSmallFiles}, ListedNames(second).size()) << "the rewritten folder stays on the card";
    const TreeSnapshot copy = SnapshotTree(CopyFolder(1));
    EXPECT_EQ(kSmallFiles,
              std::count_if(copy.begin(), copy.end(), [](const auto& file) { return file.second == "before"; }))
        << "the copy keeps the versions from before";
}

// Another program deletes one photo from the card once its copy stands whole, and another folder is
// partly moved: the card never went; the folder that left the card whole, one photo through the
// other program's delete, arrived and is counted so, and only the partly moved one is told.
TEST_F(OutcomeTest, FolderEmptiedPartlyByAnotherProgramArrivedBesideAPartlyMovedFolder)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const std::wstring drives = StartLongMoveWithSmallFolder("photo");
    ASSERT_EQ(1u, drives.size());
    const std::wstring dcim = m_cards[0].Root() + L"\\DCIM";
    const std::wstring second = dcim + L"\\" + ManyFolder(1);
    const std::wstring first = dcim + L"\\" + ManyFolder(0);
    if (!::DeleteFileW(SmallFile(second, 2).c_str())) GTEST_SKIP() << "the move reached the second folder first";
    const std::vector<std::wstring> order = ListedNames(first);
    std::wstring rewritten;
    for (auto name = order.rbegin(); name != order.rend() && rewritten.empty(); ++name)
        if (RewriteInPlace(first + L"\\" + *name, std::string(200, 'y'))) rewritten = *name;
    if (rewritten.empty() || ListedNames(first).size() < 2 || m_program->WaitBalloons(1, 0) > 0)
        GTEST_SKIP() << "the move reached the second folder before the rewrite";

    const std::wstring lines = Line(IDS_TRANSFER_PARTLY_MOVED, CardFolder(drives[0], 0), CopyFolder(0)) + L"\n" +
                               Line(IDS_TRANSFER_STAYED_DIFFERS, rewritten);
    EXPECT_TRUE(AnswerMessage(MoveText(drives[0], 2, 1, 1, KeptText(IDS_TRANSFER_KEPT_PARTLY, lines)), 4 * kRunWait));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    EXPECT_EQ(size_t{kSmallFiles}, ListedNames(CopyFolder(1)).size()) << "the deleted photo's copy stands there";
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(second.c_str())) << "it left the card whole";
}

// Three folders partly moved with many photos held each, under long Japanese names: every folder,
// its destination and the warning are in a message that fits on the screen, with how many more
// files stayed.
TEST_F(OutcomeTest, ManyPartlyMovedFoldersAreAllNamedWithTheCountOfFilesThatStayed)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{}});
    ASSERT_EQ(1u, drives.size());
    const int folders = 3, held = 15;
    std::wstring longName;
    while (longName.size() < 70) longName += L"家族旅行の思い出の写真を整理するための長いファイル名";
    CViewer viewer;
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = m_cards[0].Root() + L"\\DCIM\\" + ManyFolder(f);
        for (int i = 0; i < held + 5; ++i) {
            const std::wstring path = folder + L"\\" + std::to_wstring(i) + longName + L".JPG";
            ASSERT_TRUE(WriteFileBytes(path, std::string(100, 'p')));
            if (i < held) {
                ASSERT_TRUE(viewer.Open(path));
            }
        }
    }
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    // In this order: the head, the warning, then each folder with its destination and the count.
    std::vector<std::wstring> parts{OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, folders,
                                                Line(IDS_TRANSFER_ARRIVED_WITH_PART, L"0", L"3")),
                                    KeptText(IDS_TRANSFER_KEPT_PARTLY, L"")};
    for (int f = 0; f < folders; ++f) {
        parts.push_back(Line(IDS_TRANSFER_PARTLY_MOVED, CardFolder(drives[0], f), CopyFolder(f)));
        parts.push_back(Line(IDS_TRANSFER_MORE_FILES, std::to_wstring(held - 3)));
    }
    std::wstring text;
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND dialog : FindDialogs(Pid())) {
                text = DialogStaticTexts(dialog);
                size_t at = 0;
                for (const std::wstring& part : parts) at = at == std::wstring::npos ? at : text.find(part, at);
                if (at != std::wstring::npos) box = dialog;
            }
            return box != nullptr;
        },
        kRunWait))
        << "no message naming every folder; last seen: \"" << ToUtf8(text) << "\"";
    // All of it is seen: the box is not cut at the screen's edge.
    RECT rect{}, screen{};
    ::GetWindowRect(box, &rect);
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &screen, 0);
    EXPECT_LT(rect.bottom - rect.top, (screen.bottom - screen.top) * 3 / 4) << "the message fills the screen";
    ASSERT_TRUE(AnswerDialog(box, IDOK));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
}

// Forty-five folders of three kinds stay on the card, under a long destination: the box with its
// button stands on a 1280 x 800 screen, and every list names its folders whole or counts them.
TEST_F(OutcomeTest, ManyKeptFoldersUnderALongDestinationFitOnTheScreenAndAreAllCounted)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ExecValues exec = Values(0);
    exec.dstFolder = m_destination = MakeDestination(
        L"Pictures\\Camera imports from the family trip to the seaside, summer 2026");
    ASSERT_TRUE(Arm(exec));
    const std::wstring drives = DefineCards({{}});
    ASSERT_EQ(1u, drives.size());
    const int perKind = 15;
    const UINT kinds[] = {IDS_TRANSFER_KEPT_STOOD, IDS_TRANSFER_KEPT_PARTLY, IDS_TRANSFER_KEPT_UNDELETED};
    CViewer viewer;
    for (int f = 0; f < 3 * perKind; ++f) {
        const std::wstring folder = m_cards[0].Root() + L"\\DCIM\\" + ManyFolder(f);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(WriteFileBytes(SmallFile(folder, i), "photo"));
        if (f < perKind) PlaceAtDestination(ManyFolder(f) + L"\\older.jpg", "older");
        for (int i = 0; i < (f < 2 * perKind ? 1 : 3) && f >= perKind; ++i)
            ASSERT_TRUE(viewer.Open(SmallFile(folder, i)));
    }
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    HWND box = nullptr;
    std::wstring text;
    ASSERT_TRUE(WaitUntil(
        [&] {
            // The shell asks first whether to merge each folder whose name stood.
            for (HWND dialog : FindDialogs(Pid()))
                if ((text = DialogStaticTexts(dialog)).find(KeptText(kinds[0], L"")) != std::wstring::npos)
                    box = dialog;
                else
                    AnswerDialog(dialog, IDYES);
            return box != nullptr;
        },
        4 * kRunWait))
        << "no message; last seen: \"" << ToUtf8(text) << "\"";
    // The lines of each list: the folders it names, then how many more.
    for (int k = 0; k < 3; ++k) {
        const std::wstring words = KeptText(kinds[k], L"");
        const size_t at = text.find(words);
        ASSERT_NE(at, std::wstring::npos) << k << ": " << ToUtf8(text);
        const size_t end = text.find(L"\n\n", at + words.size());
        std::wstring list = text.substr(at + words.size(), end == std::wstring::npos ? end : end - at - words.size());
        int told = 0;
        for (size_t start = 0, next; start != std::wstring::npos;
             start = next == std::wstring::npos ? next : next + 1) {
            next = list.find(L'\n', start);
            const std::wstring line = list.substr(start, next == std::wstring::npos ? next : next - start);
            for (int f = k * perKind; f < (k + 1) * perKind; ++f) told += line == CardFolder(drives[0], f);
            for (int more = 1; more <= perKind; ++more)
                if (line == Line(IDS_TRANSFER_MORE_SOURCES, std::to_wstring(more))) told += more;
        }
        EXPECT_EQ(perKind, told) << k << ": " << ToUtf8(list);
    }
    ExpectOnA1280By800Screen(box);
    ASSERT_TRUE(AnswerDialog(box, IDOK));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
}

// Three folders stay partly moved under a destination without blanks, too wide for a line of the
// box: each is named, its copy by the start of the path and the folder name, and the box stands on
// the screen.
TEST_F(OutcomeTest, KeptFoldersUnderADestinationWithoutBlanksAreAllNamedOnTheScreen)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ExecValues exec = Values(0);
    exec.dstFolder = m_destination = MakeDestination(
        L"Pictures\\Imports_from_the_camera_cards_of_the_whole_family_during_the_long_summer_trip_to_the_sea_2026");
    ASSERT_TRUE(Arm(exec));
    const std::wstring drives = DefineCards({{}});
    ASSERT_EQ(1u, drives.size());
    const int folders = 3;
    CViewer viewer;
    for (int f = 0; f < folders; ++f) {
        const std::wstring folder = m_cards[0].Root() + L"\\DCIM\\" + ManyFolder(f);
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(WriteFileBytes(SmallFile(folder, i), "photo"));
        ASSERT_TRUE(viewer.Open(SmallFile(folder, 0)));
    }
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    const std::wstring head = MoveText(drives[0], folders, 0, folders, L"");
    HWND box = nullptr;
    std::wstring text;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND dialog : FindDialogs(Pid()))
                if ((text = DialogStaticTexts(dialog)).rfind(head, 0) == 0) box = dialog;
            return box != nullptr;
        },
        4 * kRunWait))
        << "no message; last seen: \"" << ToUtf8(text) << "\"";
    for (int f = 0; f < folders; ++f) {
        EXPECT_NE(text.find(CardFolder(drives[0], f) + L"\n"), std::wstring::npos) << f << ": " << ToUtf8(text);
        EXPECT_NE(text.find(L"\\" + ManyFolder(f) + L"）"), std::wstring::npos) << f << ": " << ToUtf8(text);
    }
    EXPECT_NE(text.find(m_destination.substr(0, 12)), std::wstring::npos) << ToUtf8(text);
    const std::wstring more = Line(IDS_TRANSFER_MORE_SOURCES, L"|");
    EXPECT_EQ(text.find(more.substr(0, more.find(L'|'))), std::wstring::npos) << ToUtf8(text);
    ExpectOnA1280By800Screen(box);
    ASSERT_TRUE(AnswerDialog(box, IDOK));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
}

// A card that arrives while a long move keeps the program's thread busy is moved after it: the
// system's broadcast gives up on the busy window, and nothing else tells the program of that card.
TEST_F(OutcomeTest, CardArrivingWhileALongMoveKeepsTheProgramBusyIsMovedAfterIt)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    const std::wstring first = StartLongMove(false);
    ASSERT_EQ(1u, first.size());
    const std::wstring second = DefineCards({{L"100TESTS"}});
    ASSERT_EQ(1u, second.size());
    if (AnnounceArrivalAsTheSystem(second, Pid())) GTEST_SKIP() << "the program answered: the move kept it not busy";
    ASSERT_EQ(2u, m_program->WaitBalloons(2, 4 * kRunWait)) << "the second card was not moved after the first";
    ExpectTransferBalloon(0, first[0], 1, false);
    ExpectTransferBalloon(1, second[0], 1, false);
    ExpectSameTree(m_cards[1].WithoutCameraPart(), SnapshotTree(m_cards[1].Root()), "second card");
    const TreeSnapshot moved = SnapshotTree(m_destination);
    for (const auto& [path, bytes] : m_cards[1].CameraPart())
        EXPECT_TRUE(moved.count(path) && moved.at(path) == bytes) << ToUtf8(path);
}

// The destination's drive goes mid-move: the message says so rather than that the user
// cancelled, and nothing left the card.
TEST_F(OutcomeTest, DestinationGoneMidMoveIsNotCalledACancel)
{
    if (!CardsOnOtherFileSystem()) GTEST_SKIP() << m_otherFileSystem->Reason();
    ExecValues exec = Values(0);
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    ASSERT_TRUE(MakeFolders(m_temp.Path(L"target\\Pictures")));
    exec.dstFolder = m_destination = letters[0] + std::wstring(L":\\Pictures");
    ASSERT_TRUE(Arm(exec));
    CCardDrive target(letters[0], m_temp.Path(L"target"), Pid());
    ASSERT_TRUE(target.Define());
    const std::wstring drives = DefineCards({{}});
    ASSERT_EQ(1u, drives.size());
    const int folders = 300, files = 5;
    AddManyFolders(m_cards[0].Root() + L"\\DCIM", folders, files);
    const TreeSnapshot card = SnapshotTree(m_cards[0].Root());
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    ASSERT_TRUE(WaitUntil([&] { return WholeFolders(folders, files) >= 10; }, kRunWait)) << "the move did not start";
    ASSERT_TRUE(target.Remove());
    if (m_program->WaitBalloons(1, 0) > 0) GTEST_SKIP() << "the move ended before the destination went";
    const std::wstring expected = OutcomeText(IDS_TRANSFER_DESTINATION_REMOVED, drives[0], false, folders, 0);
    EXPECT_TRUE(AnswerMessage(expected, 4 * kRunWait, IDCANCEL));
    ExpectSameTree(card, SnapshotTree(m_cards[0].Root()), "card");
}

// A destination that even the administrator cannot write (an immutable folder).
TEST_F(OutcomeTest, DestinationTheShellCannotWriteIsReported)
{
    const ExecValues exec = Values(0);
    const std::wstring marker = m_temp.Path(L"script.done");
    const std::wstring folder = L"'" + UnixPathOf(m_destination) + L"'";
    if (!RunUnixScript(L"chattr +i " + folder, marker, 10000)) GTEST_SKIP() << "chattr did not run";
    struct CWritableAgain {
        std::wstring script, marker;
        ~CWritableAgain() { RunUnixScript(script, marker, 10000); }
    } writableAgain{L"chattr -i " + folder, marker};
    if (WriteFileBytes(m_destination + L"\\probe", "x"))
        GTEST_SKIP() << "this file system lets an immutable folder be written";

    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    // The shell may say why in a dialog of its own first; the card keeps what did not arrive, and
    // no copy stands to be deleted.
    const std::wstring expected = OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, 1, 0) +
                                  KeptText(IDS_TRANSFER_KEPT_NOT_COPIED, drives.substr(0, 1) + L":\\DCIM\\100TESTS");
    EXPECT_TRUE(AnswerMessage(expected, kRunWait, IDOK));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    ExpectSameTree(m_cards[0].Original(), SnapshotTree(m_cards[0].Root()), "card");
}

// The destination fills up (a small tmpfs) during a move: the folder that did not fit stays on the
// card, and the message names where its incomplete copy stands.
TEST_F(OutcomeTest, FullDestinationKeepsTheFolderAndNamesItsIncompleteCopy)
{
    const ExecValues exec = Values(0);
    const std::wstring marker = m_temp.Path(L"script.done");
    const std::wstring folder = L"'" + UnixPathOf(m_destination) + L"'";
    // One camera folder takes about 400 KB on a tmpfs: the first fits, the second cannot.
    const std::wstring mounted = m_temp.Path(L"mounted");
    RunUnixScript(L"mount -t tmpfs -o size=600k fh-full " + folder + L" && : > '" + UnixPathOf(mounted) + L"'", marker,
                  10000);
    if (::GetFileAttributesW(mounted.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no small tmpfs can be mounted here (that needs root)";
    struct CUnmount {
        std::wstring script, marker;
        ~CUnmount() { RunUnixScript(script, marker, 10000); }
    } unmount{L"umount -l " + folder, marker};

    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    const std::wstring source = drives.substr(0, 1) + L":\\DCIM\\101ABCDE";
    std::wstring line;
    FormatResString(line, IDS_TRANSFER_INCOMPLETE_COPY, source.c_str(), (m_destination + L"\\101ABCDE").c_str());
    // The shell may say that the disk is full in a dialog of its own first.
    EXPECT_TRUE(AnswerMessage(OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, 2, 1) +
                                  KeptText(IDS_TRANSFER_KEPT_NOT_WHOLE, line),
                              kRunWait, IDOK));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
    ExpectSameTree(CardKeeping(L"101ABCDE"), SnapshotTree(m_cards[0].Root()), "card");
}

// The folders go while the question is open: the run that follows reports that nothing arrived.
TEST_F(OutcomeTest, SourcesGoneBeforeTheShellRunsAreReported)
{
    const std::wstring drives = ArmWithCards(Values(kConfirm), {{L"100TESTS"}});
    ASSERT_EQ(1u, drives.size());
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait)) << "no confirm dialog";
    HWND dialog = FindDialogs(Pid()).front();
    ASSERT_TRUE(RemoveFolderTree(m_cards[0].Root() + L"\\DCIM\\100TESTS"));
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));
    const std::wstring expected = OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, 1, 0);
    EXPECT_TRUE(AnswerMessage(expected, kRunWait, IDOK));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
}

// The user's cancel is told with the count, in the language of the other texts.
TEST_F(OutcomeTest, CancelledCopySaysHowManyArrivedAndNoBalloon)
{
    const ExecValues exec = Values(kCopy);
    PlaceAtDestination(L"100TESTS\\IMG_0001.JPG", "older"); // the card's is empty: the shell asks
    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait)) << "the shell did not ask";
    ASSERT_TRUE(AnswerDialog(FindDialogs(Pid()).front(), IDCANCEL));
    // What did not come is named: the folder whose name stood, and the one never begun, of which
    // no copy stands to be deleted.
    const std::wstring dcim = drives.substr(0, 1) + L":\\DCIM\\";
    ASSERT_TRUE(AnswerMessage(OutcomeText(IDS_TRANSFER_CANCELLED_PART, drives[0], true, 2, 0) +
                              KeptText(IDS_TRANSFER_KEPT_STOOD, dcim + L"100TESTS") +
                              KeptText(IDS_TRANSFER_KEPT_NOT_COPIED, dcim + L"101ABCDE")));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
}

// Another program holds a camera folder so that nobody may list it (a scanner, a backup tool): the
// shell's copy leaves an empty folder for it. No balloon says it was copied; the message names the
// folder as not arrived, since the card would not give it, and the card keeps everything.
TEST_F(OutcomeTest, CopyOfAFolderTheCardWouldNotListIsToldAsNotArrived)
{
    ASSERT_TRUE(Arm(Values(kCopy)));
    const std::wstring drives = DefineCards({{L"100WHOLE", L"101HELDF", L"102AFTER"}});
    ASSERT_EQ(1u, drives.size());
    const HANDLE held = ::CreateFileW((m_cards[0].Root() + L"\\DCIM\\101HELDF").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    const std::wstring source = drives.substr(0, 1) + L":\\DCIM\\101HELDF";
    const std::wstring lines = Line(IDS_TRANSFER_INCOMPLETE_COPY, source, m_destination + L"\\101HELDF") + L"\n" +
                               Line(IDS_TRANSFER_STAYED_UNLISTED, L"101HELDF\\");
    EXPECT_TRUE(AnswerMessage(OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], true, 3, 2) +
                                  KeptText(IDS_TRANSFER_KEPT_NOT_WHOLE, lines),
                              kRunWait, IDOK));
    ::CloseHandle(held);
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500)) << "a balloon saying that everything was copied";
    ExpectSameTree(m_cards[0].Original(), SnapshotTree(m_cards[0].Root()), "card");
}

// A move into a folder on the card's own drive is the shell's own move, under Wine too. Another
// program holds a camera folder so that nobody may list it: the shell leaves it on the card, and
// the message names it with why, beside the folders that arrived.
TEST_F(OutcomeTest, MoveWithinTheCardNamesTheFolderTheCardWouldNotList)
{
    const std::vector<wchar_t> letters = FreeDriveLetters(1);
    ASSERT_EQ(1u, letters.size());
    ExecValues exec = Values(0);
    exec.dstFolder = std::wstring(1, letters[0]) + L":\\整理済み 2026";
    ASSERT_TRUE(Arm(exec));
    const std::wstring drives = DefineCards({{L"100WHOLE", L"101HELDF", L"102AFTER", L"103AFTER"}}, letters);
    ASSERT_EQ(1u, drives.size());
    const std::wstring dcim = m_cards[0].Root() + L"\\DCIM\\";
    const HANDLE held = ::CreateFileW((dcim + L"101HELDF").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    const std::wstring source = drives.substr(0, 1) + L":\\DCIM\\101HELDF";
    EXPECT_TRUE(AnswerMessage(
        OutcomeText(IDS_TRANSFER_INCOMPLETE, drives[0], false, 4, 3) +
            KeptText(IDS_TRANSFER_KEPT_NOT_COPIED, source + L"\n" + Line(IDS_TRANSFER_STAYED_UNLISTED, L"101HELDF\\")),
        kRunWait, IDOK));
    ::CloseHandle(held);
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500)) << "a balloon saying that everything was moved";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((dcim + L"101HELDF").c_str())) << "left on the card";
    for (const wchar_t* moved : {L"100WHOLE", L"102AFTER", L"103AFTER"})
        EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((exec.dstFolder + L"\\" + moved).c_str())) << moved;
}

// The user answers No to one question; the folder before it arrived and the message says so.
TEST_F(OutcomeTest, PartlyCancelledCopySaysWhatArrived)
{
    const ExecValues exec = Values(kCopy);
    PlaceAtDestination(L"101ABCDE\\IMG_0007.JPG", "older"); // the first file of the second folder
    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait)) << "the shell did not ask";
    ASSERT_TRUE(AnswerDialog(FindDialogs(Pid()).front(), IDNO));
    // The folder that did not come is named: its name stood.
    ASSERT_TRUE(AnswerMessage(OutcomeText(IDS_TRANSFER_CANCELLED_PART, drives[0], true, 2, 1) +
                              KeptText(IDS_TRANSFER_KEPT_STOOD, drives.substr(0, 1) + L":\\DCIM\\101ABCDE")));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500));
}

// A card pulled while the shell copies: no success balloon, no eject, and the user is told.
TEST_F(OutcomeTest, CardPulledMidCopyIsReportedAsIncomplete)
{
    ASSERT_TRUE(Arm(Values(kCopy | kEject)));
    const std::wstring drives = DefineCards({{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    // Enough small files that the copy is still going when the card goes.
    const std::wstring dcim = m_cards[0].Root() + L"\\DCIM\\";
    const std::string bytes(200, 'x');
    for (int i = 0; i < 2000; ++i) {
        wchar_t name[48];
        _snwprintf(name, 48, L"%ls\\many\\F%05d.JPG", i % 2 ? L"101ABCDE" : L"100TESTS", i);
        ASSERT_TRUE(WriteFileBytes(dcim + name, bytes));
    }
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    const bool copying = WaitUntil([&] { return SnapshotTree(m_destination).size() > 10; }, kRunWait);
    ASSERT_TRUE(copying) << "the copy did not start";
    ASSERT_TRUE(m_drives[0]->Remove());
    if (m_program->WaitBalloons(1, 0) > 0) GTEST_SKIP() << "the copy ended before the card was pulled";
    // The shell may complain about each file it can no longer read before the run ends.
    const std::wstring expected = OutcomeText(IDS_TRANSFER_DRIVE_REMOVED, drives[0], true, 2, 0);
    EXPECT_TRUE(AnswerMessage(expected, 4 * kRunWait, IDCANCEL));
    EXPECT_EQ(0u, m_program->WaitBalloons(1, 1500)) << "a balloon after the card was pulled";
}

TEST_F(OutcomeTest, SecondArrivalDuringTheConfirmDialogStartsNoSecondRun)
{
    const std::wstring drives = ArmWithCards(Values(kConfirm), {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait)) << "no confirm dialog";
    HWND dialog = FindDialogs(Pid()).front();
    const size_t runs = m_program->RunStarts().size();
    ASSERT_TRUE(AnnounceArrival(drives, Pid()));
    EXPECT_EQ(1u, DialogsSeenOver(Pid(), 2000).size()) << "a second run opened its own dialog";
    ASSERT_TRUE(AnswerDialog(dialog, IDOK));
    // The arrival told under the question is of the card that the run took up: it is settled, so
    // nothing more runs, asks or reports.
    ExpectOneTransfer(drives[0], 2, false);
    EXPECT_TRUE(DialogsSeenOver(Pid(), 1000).empty());
    EXPECT_EQ(runs, m_program->RunStarts().size()) << "the card was taken up again";
}

// A run's error box holds a card that arrives while it is open; that card is handled after it.
TEST_F(OutcomeTest, ArrivalWhileARunsErrorIsOpenWaitsForIt)
{
    ASSERT_TRUE(Arm(Values(0)));
    const std::wstring drives = DefineCards({{L"100TESTS"}, {L"101ABCDE"}});
    ASSERT_EQ(2u, drives.size());
    // The destination turns into a file after the start: every run refuses it.
    ASSERT_TRUE(RemoveFolderTree(m_destination) && WriteFileBytes(m_destination, "x"));
    std::wstring refused;
    FormatResString(refused, IDS_DST_FOLDER_IS_FILE, m_destination.c_str());
    ASSERT_TRUE(AnnounceArrival(drives.substr(0, 1), Pid()));
    ASSERT_TRUE(WaitUntil([&] { return !FindDialogs(Pid()).empty(); }, kRunWait)) << "no error";
    ASSERT_TRUE(AnnounceArrival(drives.substr(1), Pid()));
    EXPECT_EQ(1u, DialogsSeenOver(Pid(), 2000).size()) << "a second box opened over the first";
    ASSERT_TRUE(AnswerMessage(refused));
    EXPECT_TRUE(AnswerMessage(refused)) << "the card that waited was not handled after";
    EXPECT_TRUE(DialogsSeenOver(Pid(), 1500).empty());
    for (const CCameraCard& card : m_cards) ExpectSameTree(card.Original(), SnapshotTree(card.Root()), "card");
}

// A name the pattern is too complex for stays on the card and is named; the other folder moves.
TEST_F(OutcomeTest, NameTooComplexForThePatternIsLeftAndNamed)
{
    ExecValues exec = Values(0);
    exec.srcFname = L"^([0-9]{3}[A-Z_]{5}|(a+)+$)";
    const std::wstring hostile = std::wstring(30, L'a') + L"!";
    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS", hostile}});
    ASSERT_EQ(1u, drives.size());
    std::wstring named;
    FormatResString(named, IDS_PATTERN_TOO_COMPLEX, (drives + L":\\DCIM\\" + hostile).c_str());
    ASSERT_TRUE(AnswerMessage(named));
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    ExpectTransferBalloon(0, drives[0], 1, false);
    const std::wstring dcim = m_cards[0].Root() + L"\\DCIM\\";
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_destination + L"\\100TESTS").c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((dcim + L"100TESTS").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((dcim + hostile).c_str())) << "left on the card";
}

TEST_F(OutcomeTest, MissingDestinationIsCreatedBeforeTheMove)
{
    ExecValues exec = Values(0);
    exec.dstFolder = m_destination = m_temp.Path(L"new\\Pictures");
    const std::wstring drives = ArmWithCards(exec, {{L"100TESTS", L"101ABCDE"}});
    ASSERT_EQ(1u, drives.size());
    ExpectOneTransfer(drives[0], 2, false);
}

// Run over a source folder on the fixed drive C: with the eject option: moved, not ejected, and
// no question whether to disconnect.
TEST_F(OutcomeTest, SourceOnAFixedDriveIsMovedAndNotEjected)
{
    m_cards.emplace_back(m_temp.Path(L"fixed"), std::vector<std::wstring>{L"100TESTS", L"101ABCDE"}, 7u);
    ExecValues exec = Values(kEject);
    exec.srcFolder = m_cards[0].Root() + L"\\DCIM";
    ASSERT_EQ(L'C', ::towupper(exec.srcFolder[0])) << "the temporary folder is not on C:";
    ASSERT_TRUE(StartProgram(exec, L""));
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_RUN, 0);
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    ExpectTransferBalloon(0, exec.srcFolder[0], 2, false);
    ExpectTransferred(false);
    EXPECT_TRUE(FindDialogs(Pid()).empty());
}

TEST_F(OutcomeTest, RunWithNoSourceFolderSaysNothingMatched)
{
    ExecValues exec = Values(0);
    exec.srcFolder = L"\\FH-NO-SUCH-FOLDER";
    ASSERT_TRUE(StartProgram(exec, L""));
    ::PostMessageW(m_frame, WM_COMMAND, ID_APP_RUN, 0);
    ASSERT_TRUE(AnswerMessage(LoadResString(IDS_NOTHING_MATCHED)));
    EXPECT_TRUE(m_program->Balloons().empty());
}

TEST_F(OutcomeTest, CloseBoxHidesTheWindowAndTheProgramGoesOn)
{
    ASSERT_TRUE(StartProgram(Values(0), L""));
    ::PostMessageW(m_frame, WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(m_frame); }, 5000)) << "still shown";
    EXPECT_EQ(-1, m_program->WaitExit(1000)) << "the program ended";
    EXPECT_GE(m_program->WaitBalloons(1, 5000), 1u) << "no word that it goes on";
    // The tray icon opens it again.
    ::PostMessageW(m_frame, WM_APP + 1, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(m_frame, WaitForFrame(Pid(), true, kWindowWait));
}

// Camera folders whose free characters are digits or lower case stay on the card by default;
// the wider pattern the README gives takes them.
class CameraNameTest : public ProgramTest, public testing::WithParamInterface<bool> {};

TEST_P(CameraNameTest, DefaultPatternLeavesThemTheWiderOneTakesThem)
{
    const bool wider = GetParam();
    ExecValues exec = Values(0);
    if (wider) exec.srcFname = L"^[1-9][0-9]{2}[0-9A-Za-z_]{5}$";
    const std::wstring drives = ArmWithCards(exec, {{L"100EOS5D", L"101_1103", L"102CANON"}});
    ASSERT_EQ(1u, drives.size());
    ASSERT_EQ(1u, m_program->WaitBalloons(1, kRunWait));
    const std::wstring card = m_cards[0].Root() + L"\\DCIM\\";
    for (const wchar_t* name : {L"100EOS5D", L"101_1103"}) {
        EXPECT_EQ(wider, ::GetFileAttributesW((m_destination + L"\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES)
            << ToUtf8(name);
        EXPECT_EQ(!wider, ::GetFileAttributesW((card + name).c_str()) != INVALID_FILE_ATTRIBUTES) << ToUtf8(name);
    }
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_destination + L"\\102CANON").c_str()));
}

INSTANTIATE_TEST_SUITE_P(DefaultAndWider, CameraNameTest, testing::Bool());
