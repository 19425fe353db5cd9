#include "foundation/FileList.h"

#include "tests/support/TempFolder.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <tuple>
#include <vector>

using List = std::list<std::wstring>;

namespace {

List Sorted(List list)
{
    list.sort();
    return list;
}

} // namespace

// The program's own pattern and its search (not whole-name match) are checked with the
// source collection; here: files and folders alike, appending, and the failures.
TEST(FileList, PatternIsSearchedAndTheListIsAppendedTo)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"100ABCDE", L"101abcde", L"X100ABCDEY"}) temp.WriteFile(name, "");
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"990ABCDE").c_str(), nullptr));

    List out{L"before"};
    EnumFiles(out, temp.Path(), L"0ABCDE", 0, 0, false);
    EXPECT_EQ(out.front(), L"before");
    EXPECT_EQ(Sorted(out), (List{L"100ABCDE", L"990ABCDE", L"X100ABCDEY", L"before"})) << "mask 0 keeps folders";
    out.clear();
    EnumFiles(out, temp.Path(), L"", FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY, false);
    EXPECT_EQ(out, List{L"990ABCDE"});

    EnumFiles(out, temp.Path(L"missing"), L"", 0, 0, false);
    EXPECT_THROW(EnumFiles(out, temp.Path(), L"a(", 0, 0, false), boost::regex_error);
    EXPECT_EQ(out, List{L"990ABCDE"});
    EXPECT_FALSE(EnumFilesMatch(out, temp.Path().c_str(), L"[z-a]", false));
    EXPECT_TRUE(out.empty());
}

TEST(FileList, RecursionSearchesFoldersThatDoNotPassAndJoinsWithBackslash)
{
    CTempFolder temp;
    for (const wchar_t* name : {L"b\\a1", L"b\\a2\\a3", L"c", L"xa1"}) temp.WriteFile(name, "");
    List out;
    EnumFiles(out, temp.Path(), L"^a", 0, 0, true);
    EXPECT_EQ(Sorted(out), (List{L"b\\a1", L"b\\a2", L"b\\a2\\a3"}));
    // Entries of a sub-folder follow the sub-folder's own entry.
    const auto folder = std::find(out.begin(), out.end(), L"b\\a2");
    ASSERT_NE(folder, out.end());
    EXPECT_EQ(*std::next(folder), L"b\\a2\\a3");

    // Whole-name match over files only, with the list cleared first.
    out = {L"stale"};
    ASSERT_TRUE(EnumFilesMatch(out, temp.Path().c_str(), L"a[12]|c", true));
    EXPECT_EQ(Sorted(out), (List{L"b\\a1", L"c"}));
}

TEST(FileListSort, FoldersLevelByLevelInNaturalOrderAndStable)
{
    // Level by level: "img2" sorts before "img10" although "img10\a" < "img2\a" as whole text.
    const std::tuple<List, bool, List> cases[] = {
        {{L"x\\b2", L"x\\b10", L"x\\a\\z", L"x\\B1"}, false, {L"x\\a\\z", L"x\\B1", L"x\\b2", L"x\\b10"}},
        {{L"x\\b2", L"x\\b10", L"x\\a\\z", L"x\\B1"}, true, {L"x\\B1", L"x\\b2", L"x\\b10", L"x\\a\\z"}},
        {{L"img10\\a", L"img2\\b", L"img2\\a", L"img1"}, true, {L"img1", L"img2\\a", L"img2\\b", L"img10\\a"}},
        {{L"A\\b", L"z", L"a\\B", L"A\\b"}, false, {L"A\\b", L"a\\B", L"A\\b", L"z"}},
    };
    for (auto [list, filesFirst, expected] : cases) {
        SortPathsLogical(list, filesFirst);
        EXPECT_EQ(list, expected);
    }
}

// One level: the order is exactly the system's StrCmpLogicalW order (list::sort is stable).
TEST(FileListSort, SingleLevelAgreesWithTheSystemOrder)
{
    std::mt19937 random(7);
    const wchar_t alphabet[] = L"aB1 0.9_-";
    List list;
    for (int i = 0; i < 400; ++i) {
        std::wstring name;
        for (int k = 1 + static_cast<int>(random() % 8); k > 0; --k) name += alphabet[random() % 9];
        list.push_back(name);
    }
    List reference = list;
    reference.sort(
        [](const std::wstring& a, const std::wstring& b) { return ::StrCmpLogicalW(a.c_str(), b.c_str()) < 0; });
    SortPathsLogical(list, false);
    EXPECT_EQ(list, reference);
}

// A name holding a NUL must not turn into two entries of the list the shell takes.
TEST(FileListText, MultiStringCutsANameAtItsNul)
{
    std::wstring out;
    ListToMultiString(List{L"C:\\a", std::wstring(L"b\0cd", 4)}, out);
    EXPECT_EQ(out, std::wstring(L"C:\\a\0b\0\0", 8));
}

// The search of a folder deeper than MAX_PATH opens; its entries must be listed too.
TEST(FileList, AFolderDeeperThanMaxPathIsListed)
{
    CTempFolder temp;
    std::wstring deep = temp.Path();
    std::vector<std::wstring> levels;
    while (deep.size() < 300) {
        deep += L"\\" + std::wstring(40, static_cast<wchar_t>(L'a' + levels.size()));
        levels.push_back(deep);
        ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << ::GetLastError();
    }
    const std::wstring file = L"\\\\?\\" + deep + L"\\100ABCDE.jpg";
    HANDLE h = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + deep + L"\\101ABCDE").c_str(), nullptr));
    ASSERT_GE((deep + L"\\*.*").size(), static_cast<size_t>(MAX_PATH));

    List out;
    EnumFiles(out, deep, L"^1", 0, 0, false);
    EXPECT_EQ(Sorted(out), (List{L"100ABCDE.jpg", L"101ABCDE"}));
    ListSubFolders(out, deep.c_str());
    EXPECT_EQ(out, List{L"101ABCDE"});
    out.clear();
    EnumFiles(out, levels.front(), L"\\.jpg$", 0, 0, true);
    EXPECT_EQ(out.size(), 1u) << "found through every level below";

    ::RemoveDirectoryW((L"\\\\?\\" + deep + L"\\101ABCDE").c_str());
    ::DeleteFileW(file.c_str());
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        EXPECT_TRUE(::RemoveDirectoryW((L"\\\\?\\" + *level).c_str()));
}
