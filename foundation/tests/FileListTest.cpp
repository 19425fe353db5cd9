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

List Sorted(List list) {
    list.sort();
    return list;
}

} // namespace

TEST(FileList, PatternIsSearchedNotMatchedAndTheListIsAppendedTo) {
    CTempFolder temp;
    for (const wchar_t* name : {L"100ABCDE", L"101abcde", L"100ABCDE.txt", L"X100ABCDEY"})
        temp.WriteFile(name, "");
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"999ZZZZZ").c_str(), nullptr));

    List out;
    EnumFiles(out, temp.Path(), L"^[0-9]{3}[A-Z_]{5}$", 0, 0, false);
    EXPECT_EQ(Sorted(out), (List{L"100ABCDE", L"999ZZZZZ"})) << "mask 0 keeps folders";
    EnumFiles(out, temp.Path(), L"0ABCDE.", 0, 0, false);
    EXPECT_EQ(Sorted(out), (List{L"100ABCDE", L"100ABCDE.txt", L"999ZZZZZ", L"X100ABCDEY"}));
    out = {L"before"};
    EnumFiles(out, temp.Path(), L"", FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY, false);
    EXPECT_EQ(out, (List{L"before", L"999ZZZZZ"}));

    EnumFiles(out, temp.Path(L"missing"), L"", 0, 0, false);
    EXPECT_THROW(EnumFiles(out, temp.Path(), L"a(", 0, 0, false), boost::regex_error);
    EXPECT_EQ(out, (List{L"before", L"999ZZZZZ"}));
    EXPECT_FALSE(EnumFilesMatch(out, temp.Path().c_str(), L"[z-a]", false));
    EXPECT_TRUE(out.empty());
}

TEST(FileList, RecursionSearchesFoldersThatDoNotPassAndJoinsWithBackslash) {
    CTempFolder temp;
    for (const wchar_t* name : {L"b\\a1", L"b\\a2\\a3", L"c"})
        temp.WriteFile(name, "");
    List out;
    EnumFiles(out, temp.Path(), L"^a", 0, 0, true);
    EXPECT_EQ(Sorted(out), (List{L"b\\a1", L"b\\a2", L"b\\a2\\a3"}));
    // Entries of a sub-folder follow the sub-folder's own entry.
    const auto folder = std::find(out.begin(), out.end(), L"b\\a2");
    ASSERT_NE(folder, out.end());
    EXPECT_EQ(*std::next(folder), L"b\\a2\\a3");

    // Whole-name match over files only, with the list cleared first.
    temp.WriteFile(L"xa1", "");
    out = {L"stale"};
    ASSERT_TRUE(EnumFilesMatch(out, temp.Path().c_str(), L"a[12]|c", true));
    EXPECT_EQ(Sorted(out), (List{L"b\\a1", L"c"}));
}

TEST(FileListSort, FoldersLevelByLevelInNaturalOrderAndStable) {
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

// One level: the order is exactly the system's StrCmpLogicalW order.
TEST(FileListSort, SingleLevelAgreesWithTheSystemOrder) {
    std::mt19937 random(7);
    const wchar_t alphabet[] = L"aB1 0.9_-";
    List list;
    for (int i = 0; i < 400; ++i) {
        std::wstring name;
        const int length = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < length; ++k) name += alphabet[random() % 9];
        list.push_back(name);
    }
    std::vector<std::wstring> reference(list.begin(), list.end());
    std::stable_sort(reference.begin(), reference.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
    });
    SortPathsLogical(list, false);
    EXPECT_EQ(std::vector<std::wstring>(list.begin(), list.end()), reference);
}

TEST(FileListText, MultiStrings) {
    std::wstring out;
    ListToMultiString(List{L"C:\\a", std::wstring(L"b\0cd", 4)}, out);
    EXPECT_EQ(out, std::wstring(L"C:\\a\0b\0\0", 8));
    ListToMultiString(List{}, out);
    EXPECT_EQ(out, std::wstring(1, L'\0'));
    List parsed{L"old"};
    ParseMultiString(L"one\0two\0\0three\0", parsed);
    EXPECT_EQ(parsed, (List{L"old", L"one", L"two"}));
}
