#include "foundation/PathHelpers.h"

#include <gtest/gtest.h>

#include <random>
#include <tuple>

TEST(PathHelpers, AppendKeepsOneSeparatorButAddsNoneAfterAColon)
{
    const std::tuple<const wchar_t*, const wchar_t*, const wchar_t*> cases[] = {
        {L"", L"name", L"name"},
        {L"C:", L"name", L"C:name"},
        {L"C:\\a", L"", L"C:\\a\\"},
        {L"C:\\a\\", L"b", L"C:\\a\\b"},
        {L"C:/a/", L"b", L"C:/a/b"},
        {L"C:\\a", L"\\b", L"C:\\a\\\\b"},
        {L"\\\\server\\share", L"x.txt", L"\\\\server\\share\\x.txt"},
    };
    for (const auto& [folder, name, expected] : cases) {
        std::wstring path = folder;
        EXPECT_EQ(AppendPath(path, name), expected) << folder << L" + " << name;
    }
}

TEST(PathHelpers, PrefixesAndSamePathsStopAtComponentBoundaries)
{
    std::wstring out;
    EXPECT_TRUE(RemovePathPrefix(out, L"C:\\Pics\\a\\b", L"c:\\pics"));
    EXPECT_EQ(out, L"a\\b");
    EXPECT_FALSE(RemovePathPrefix(out, L"C:\\Pics2\\a", L"C:\\Pics"));
    EXPECT_TRUE(IsSamePath(L"C:\\Pics", L"c:\\pics\\"));
    EXPECT_FALSE(IsSamePath(L"C:\\Pics", L"C:\\Pics2"));
    EXPECT_FALSE(IsSamePath(L"C:\\Pics", L"C:\\Pics\\\\"));
    EXPECT_TRUE(IsSameOrSubPath(L"C:\\Pics\\", L"c:\\pics\\2024"));
    EXPECT_FALSE(IsSameOrSubPath(L"C:\\Pics", L"c:\\pics2"));
    EXPECT_FALSE(IsPathUnder(L"C:\\Picsa", L"c:\\PICS"));
}

TEST(PathHelpers, RootPredicates)
{
    // path, drive root, root, absolute
    const std::tuple<std::wstring, bool, bool, bool> cases[] = {
        {L"C:", false, false, false},       {L"C:\\", true, true, true},
        {L"C:/", false, false, false},      {L"C:\\x", false, false, true},
        {L"\\\\server", false, true, true}, {L"\\\\server\\share\\x", false, false, true},
        {L"\\", false, true, false},        {L"", false, false, false},
    };
    for (const auto& [path, driveRoot, root, absolute] : cases) {
        EXPECT_EQ(IsDriveRoot(path), driveRoot) << path;
        EXPECT_EQ(IsRootPath(path), root) << path;
        EXPECT_EQ(IsAbsolutePath(path), absolute) << path;
    }
}

TEST(PathHelpers, ValidRelativePathRefusesLineBreaksAndReservedCharacters)
{
    const std::pair<std::wstring, bool> cases[] = {
        {L"", true},       {L"a", true},           {L"a\\b/c", true}, {L"a\\b\\", true},  {L"a\\\\b", false},
        {L"\\a", false},   {L"C:\\a", false},      {L"a*b", false},   {L"a\"b", false},   {L"a|b", false},
        {L"a:\nb", false}, {L"C:\\x\nfoo", false}, {L"a\nb", false},  {L"a\r\nb", false}, {L"ab\n", false},
        {L"\n", false},    {L"a\\b\n\\", false},
    };
    for (const auto& [path, valid] : cases) EXPECT_EQ(IsValidRelativePath(path), valid) << path;
}

TEST(PathHelpers, NaturalComparisonFoldsCaseAndSeparatorsAndOrdersNumbers)
{
    EXPECT_LT(ComparePathsNatural(L"x\\file2", L"x\\file10"), 0);
    EXPECT_EQ(ComparePathsNatural(L"X/a", L"x\\a"), 0);
    EXPECT_EQ(ComparePathsNatural(L"x\\a", L"x\\a\\b"), -1);
    // Only the differing component counts: "b" against "a10", not the rest of the path.
    EXPECT_GT(ComparePathsNatural(L"x\\b\\1", L"x\\a10\\9"), 0);
}

// Random texts over the characters that matter to the parsers; invariants only.
TEST(PathHelpers, RandomTextsKeepInvariants)
{
    const wchar_t alphabet[] = L"ab.\\/:*\n";
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        for (int i = static_cast<int>(random() % 12); i > 0; --i) text += alphabet[random() % 8];

        std::wstring once = text;
        NormalizeDots(once);
        std::wstring twice = once;
        NormalizeDots(twice);
        EXPECT_EQ(once, twice) << text;

        std::wstring folder = text, name;
        if (SplitFileName(folder, name)) {
            EXPECT_EQ(folder + name, text);
        }
        if (IsValidRelativePath(text)) {
            EXPECT_EQ(text.find_first_of(L":*\n"), std::wstring::npos) << text;
            EXPECT_FALSE(!text.empty() && IsPathSeparator(text[0])) << text;
        }
        // Case and separator spelling do not count, a path sorts before one that extends it, and
        // the order is antisymmetric.
        std::wstring spelled = text;
        for (wchar_t& c : spelled) {
            c = c == L'\\' ? L'/' : c == L'/' ? L'\\' : (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - 32) : c;
        }
        EXPECT_EQ(ComparePathsNatural(text, spelled), 0) << text;
        EXPECT_LT(ComparePathsNatural(text, text + L"\\b"), 0) << text;
        std::wstring other;
        for (int i = static_cast<int>(random() % 12); i > 0; --i) other += alphabet[random() % 8];
        const int forth = ComparePathsNatural(text, other), back = ComparePathsNatural(other, text);
        EXPECT_EQ((forth > 0) - (forth < 0), (back < 0) - (back > 0)) << text << L" / " << other;
    }
}
