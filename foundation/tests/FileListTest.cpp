#include "foundation/FileList.h"

#include "foundation/FindFile.h"
#include "foundation/PathHelpers.h"
#include "foundation/tests/PathTestSupport.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <sstream>
#include <vector>

using FileList = ScratchTest;
using List = std::list<std::wstring>;

namespace {

List Sorted(List list) {
    list.sort();
    return list;
}

} // namespace

TEST_F(FileList, PatternIsSearchedNotMatchedAndKeepsFoldersWithMaskZero) {
    m_scratch.MakeFile(L"100ABCDE");
    m_scratch.MakeFile(L"101abcde");
    m_scratch.MakeFile(L"100ABCDE.txt");
    m_scratch.MakeFile(L"X100ABCDEY");
    m_scratch.MakeFolder(L"999ZZZZZ");

    List out;
    EnumFiles(out, m_scratch.Path(), L"^[0-9]{3}[A-Z_]{5}$", 0, 0, false);
    EXPECT_EQ(Sorted(out), (List{L"100ABCDE", L"999ZZZZZ"}));

    out.clear();
    EnumFiles(out, m_scratch.Path(), L"[0-9]{3}[A-Z_]{5}", 0, 0, false);
    EXPECT_EQ(Sorted(out), (List{L"100ABCDE", L"100ABCDE.txt", L"999ZZZZZ", L"X100ABCDEY"}));

    out.clear();
    EnumFiles(out, m_scratch.Path(), L"", FILE_ATTRIBUTE_DIRECTORY, 0, false);
    EXPECT_EQ(out.size(), 4u);
    out.clear();
    EnumFiles(out, m_scratch.Path(), L"", FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY, false);
    EXPECT_EQ(out, List{L"999ZZZZZ"});
}

TEST_F(FileList, EnumFilesAppendsAndIgnoresMissingFolders) {
    m_scratch.MakeFile(L"a");
    List out{L"before"};
    EnumFiles(out, m_scratch.Path(L"missing"), L"", 0, 0, false);
    EXPECT_EQ(out, List{L"before"});
    EnumFiles(out, m_scratch.Path(), L"", 0, 0, false);
    EnumFiles(out, m_scratch.Path(), L"", 0, 0, false);
    EXPECT_EQ(out, (List{L"before", L"a", L"a"}));
    for (const std::wstring& name : out)
        EXPECT_TRUE(name != L"." && name != L"..");
}

TEST_F(FileList, InvalidPatternThrowsAndAddsNothing) {
    m_scratch.MakeFile(L"a");
    List out{L"kept"};
    EXPECT_THROW(EnumFiles(out, m_scratch.Path(), L"a(", 0, 0, false), boost::regex_error);
    EXPECT_EQ(out, List{L"kept"});
    EXPECT_FALSE(EnumFilesMatch(out, m_scratch.Path().c_str(), L"[z-a]", false));
    EXPECT_TRUE(out.empty());
}

TEST_F(FileList, RecursionSearchesFoldersThatDoNotPassAndJoinsWithBackslash) {
    m_scratch.MakeFolder(L"b");
    m_scratch.MakeFile(L"b\\a1");
    m_scratch.MakeFolder(L"b\\a2");
    m_scratch.MakeFile(L"b\\a2\\a3");
    m_scratch.MakeFile(L"c");
    List out;
    EnumFiles(out, m_scratch.Path(), L"^a", 0, 0, true);
    EXPECT_EQ(Sorted(out), (List{L"b\\a1", L"b\\a2", L"b\\a2\\a3"}));
    // Entries of a sub-folder follow the sub-folder's own entry.
    const auto folder = std::find(out.begin(), out.end(), L"b\\a2");
    ASSERT_NE(folder, out.end());
    EXPECT_EQ(*std::next(folder), L"b\\a2\\a3");

    out.clear();
    EnumFiles(out, m_scratch.Path() + L"\\", L"", 0, 0, true);
    EXPECT_EQ(Sorted(out), (List{L"b", L"b\\a1", L"b\\a2", L"b\\a2\\a3", L"c"}));
}

TEST_F(FileList, EnumFilesMatchTakesWholeNamesOfFilesOnly) {
    m_scratch.MakeFile(L"abc");
    m_scratch.MakeFile(L"xabc");
    m_scratch.MakeFolder(L"abc.d");
    m_scratch.MakeFile(L"abc.d\\abc");
    List out{L"stale"};
    ASSERT_TRUE(EnumFilesMatch(out, m_scratch.Path().c_str(), L"abc", false));
    EXPECT_EQ(out, List{L"abc"});
    ASSERT_TRUE(EnumFilesMatch(out, m_scratch.Path().c_str(), L"abc", true));
    EXPECT_EQ(Sorted(out), (List{L"abc", L"abc.d\\abc"}));
    ASSERT_TRUE(EnumFilesMatch(out, m_scratch.Path().c_str(), nullptr, false));
    EXPECT_EQ(Sorted(out), (List{L"abc", L"xabc"}));

    boost::wregex re;
    EXPECT_TRUE(TryAssignRegex(re, L"^a+$"));
    EXPECT_FALSE(TryAssignRegex(re, L"*"));
}

TEST_F(FileList, SubFoldersByFolderAndByPattern) {
    m_scratch.MakeFolder(L"one");
    m_scratch.MakeFolder(L"two");
    m_scratch.MakeFile(L"file");
    List out{L"stale"};
    ListSubFolders(out, m_scratch.Path().c_str());
    EXPECT_EQ(Sorted(out), (List{L"one", L"two"}));
    ListSubFoldersMatching(out, m_scratch.Path(L"t*").c_str());
    EXPECT_EQ(out, List{L"two"});
    ListSubFolders(out, m_scratch.Path(L"missing").c_str());
    EXPECT_TRUE(out.empty());

    CFindFile finder;
    ASSERT_TRUE(FindFirstFolder(finder, m_scratch.Path(L"one").c_str()));
    EXPECT_EQ(std::wstring(finder.GetRoot()), m_scratch.Path());
    EXPECT_EQ(finder.GetFilePath(), m_scratch.Path(L"one"));
}

TEST(FileListSort, FoldersLevelByLevelInNaturalOrder) {
    List list{L"x\\b2", L"x\\b10", L"x\\a\\z", L"x\\B1"};
    SortPathsLogical(list, false);
    EXPECT_EQ(list, (List{L"x\\a\\z", L"x\\B1", L"x\\b2", L"x\\b10"}));
    list = {L"x\\b2", L"x\\b10", L"x\\a\\z", L"x\\B1"};
    SortPathsLogical(list, true);
    EXPECT_EQ(list, (List{L"x\\B1", L"x\\b2", L"x\\b10", L"x\\a\\z"}));

    // Level by level: "img2" sorts before "img10" although "img10\a" < "img2\a" as whole text.
    list = {L"img10\\a", L"img2\\b", L"img2\\a", L"img1"};
    SortPathsLogical(list, true);
    EXPECT_EQ(list, (List{L"img1", L"img2\\a", L"img2\\b", L"img10\\a"}));

    // '/' is no separator here, and a trailing separator gives an empty, first, component.
    list = {L"d\\b", L"d\\"};
    SortPathsLogical(list, false);
    EXPECT_EQ(list, (List{L"d\\", L"d\\b"}));
}

TEST(FileListSort, EqualPathsKeepTheirInputOrder) {
    List list{L"A\\b", L"z", L"a\\B", L"A\\b"};
    SortPathsLogical(list, false);
    EXPECT_EQ(list, (List{L"A\\b", L"a\\B", L"A\\b", L"z"}));
    list = {L"B", L"a", L"b"};
    SortLogical(list);
    EXPECT_EQ(list, (List{L"a", L"B", L"b"}));
}

// One level: the order is exactly the system's StrCmpLogicalW order.
TEST(FileListSort, SingleLevelAgreesWithTheSystemOrder) {
    std::mt19937 random(7);
    const wchar_t alphabet[] = L"aB1 0.9_-";
    List list;
    for (int i = 0; i < 400; ++i) {
        std::wstring name;
        const int length = 1 + static_cast<int>(random() % 8);
        for (int k = 0; k < length; ++k)
            name += alphabet[random() % 9];
        list.push_back(name);
    }
    std::vector<std::wstring> reference(list.begin(), list.end());
    std::stable_sort(reference.begin(), reference.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::StrCmpLogicalW(a.c_str(), b.c_str()) < 0;
    });
    SortPathsLogical(list, false);
    EXPECT_EQ(std::vector<std::wstring>(list.begin(), list.end()), reference);
}

TEST(FileListText, MultiStringAndLines) {
    std::wstring out;
    ListToMultiString(List{L"C:\\a", L"C:\\b"}, out);
    EXPECT_EQ(out, std::wstring(L"C:\\a\0C:\\b\0\0", 11));
    ListToMultiString(List{}, out);
    EXPECT_EQ(out, std::wstring(1, L'\0'));
    ListToMultiString(List{std::wstring(L"ab\0cd", 5)}, out);
    EXPECT_EQ(out, std::wstring(L"ab\0\0", 4));

    List parsed{L"old"};
    ParseMultiString(L"one\0two\0\0three\0", parsed);
    EXPECT_EQ(parsed, (List{L"old", L"one", L"two"}));
    parsed.clear();
    ParseMultiString("n1\0n2\0\0", parsed);
    EXPECT_EQ(parsed, (List{L"n1", L"n2"}));
    ParseMultiString(static_cast<const wchar_t*>(nullptr), parsed);
    EXPECT_EQ(parsed.size(), 2u);

    ListToLines(List{L"a", L"b"}, out);
    EXPECT_EQ(out, L"a\r\nb\r\n");
    std::wostringstream os;
    WriteLines(List{L"a", L"b"}, os);
    EXPECT_EQ(os.str(), L"a\nb\n");

    CFlagsWord flags(0x4);
    EXPECT_FALSE(flags.HasAny(0x3));
    flags.Set(0x1);
    EXPECT_TRUE(flags.HasAny(0x3));
    EXPECT_EQ(flags.Get(), 0x5u);
}

TEST_F(FileList, FullPaths) {
    List out{L"stale"};
    MakeFullPaths(List{L"a", L"b\\c"}, L"C:", out);
    EXPECT_EQ(out, (List{L"C:a", L"C:b\\c"}));
    MakeFullPaths(List{L"a"}, m_scratch.Path(), out);
    EXPECT_EQ(out, List{m_scratch.Path(L"a")});

    ASSERT_TRUE(GetFullPaths(List{L"C:\\x\\..\\y", L"C:\\z"}, out));
    EXPECT_EQ(out, (List{L"C:\\y", L"C:\\z"}));
    EXPECT_FALSE(GetFullPaths(List{L"C:\\ok", L"C:\\" + std::wstring(300, L'n'), L"C:\\after"}, out));
    EXPECT_EQ(out, List{L"C:\\ok"});
}
