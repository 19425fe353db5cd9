#include "foundation/PathHelpers.h"

#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <random>

namespace {

struct AppendCase {
    const wchar_t* folder;
    const wchar_t* name;
    const wchar_t* expected;
};

const AppendCase kAppendCases[] = {
    {L"", L"name", L"name"},           {L"C:", L"name", L"C:name"},
    {L"C:\\a", L"", L"C:\\a\\"},       {L"C:\\a", L"b", L"C:\\a\\b"},
    {L"C:\\a\\", L"b", L"C:\\a\\b"},   {L"C:/a/", L"b", L"C:/a/b"},
    {L"C:\\a", L"\\b", L"C:\\a\\\\b"}, {L"\\\\server\\share", L"x.txt", L"\\\\server\\share\\x.txt"},
};

} // namespace

TEST(PathHelpers, AppendPathAddsOneBackslashUnlessFolderEndsWithSeparatorOrColon) {
    for (const AppendCase& c : kAppendCases) {
        std::wstring folder = c.folder;
        EXPECT_EQ(AppendPath(folder, c.name), c.expected) << c.folder << L" + " << c.name;
        std::wstring viaString = c.folder;
        AppendPath(viaString, std::wstring(c.name));
        EXPECT_EQ(viaString, c.expected);
        EXPECT_EQ(CombinePath(c.folder, c.name), c.expected);
    }
}

TEST(PathHelpers, JoinPathKeepsExactlyOneSeparator) {
    const struct {
        const wchar_t *a, *b;
        wchar_t separator;
        const wchar_t* expected;
    } cases[] = {
        {L"a\\", L"\\b", L'\\', L"a\\b"}, {L"a", L"b", L'\\', L"a\\b"},   {L"a/", L"b", L'\\', L"a/b"},
        {L"a", L"/b", L'\\', L"a/b"},     {L"a", L"b", L'/', L"a/b"},     {L"", L"b", L'\\', L"b"},
        {L"a", L"", L'\\', L"a"},         {L"a/", L"\\b", L'\\', L"a/b"},
    };
    for (const auto& c : cases) {
        std::wstring out = L"garbage";
        JoinPath(out, c.a, c.b, c.separator);
        EXPECT_EQ(out, c.expected) << c.a << L" | " << c.b;
        std::wstring inPlace = c.a;
        PathTransform(inPlace, c.b, c.separator);
        EXPECT_EQ(inPlace, c.expected);
    }
    std::wstring out;
    JoinFileExtension(out, L"name", L"txt");
    EXPECT_EQ(out, L"name.txt");
    JoinFileExtension(out, L"name", L"");
    EXPECT_EQ(out, L"name");
}

TEST(PathHelpers, SplittingIntoFolderNameAndExtension) {
    std::wstring path = L"C:\\dir.x\\name", name;
    ASSERT_TRUE(SplitFileName(path, name));
    EXPECT_EQ(path, L"C:\\dir.x\\");
    EXPECT_EQ(name, L"name");
    path = L"bare";
    ASSERT_TRUE(SplitFileName(path, name));
    EXPECT_EQ(path, L"");
    EXPECT_EQ(name, L"bare");
    path = L"";
    EXPECT_FALSE(SplitFileName(path, name));
    path = L"a/b/c";
    RemoveFileSpec(path);
    EXPECT_EQ(path, L"a/b/");

    const struct {
        const wchar_t* path;
        bool ok;
        const wchar_t *base, *extension;
    } cases[] = {
        {L"C:\\dir.x\\name", true, L"name", L""},  {L"archive.tar.gz", true, L"archive.tar", L"gz"},
        {L"C:/x/.profile", true, L"", L"profile"}, {L"C:\\x\\", false, L"", L""},
        {L"trailing.", true, L"trailing", L""},
    };
    for (const auto& c : cases) {
        std::wstring base, extension;
        EXPECT_EQ(SplitFileExtension(c.path, base, extension), c.ok) << c.path;
        if (!c.ok)
            continue;
        EXPECT_EQ(base, c.base) << c.path;
        EXPECT_EQ(extension, c.extension) << c.path;
        EXPECT_EQ(GetBaseName(c.path), c.base);
        EXPECT_EQ(GetFileExtension(c.path), c.extension);
    }
    std::wstring part;
    EXPECT_TRUE(GetFileNamePart(L"C:\\a\\b.txt", part, true));
    EXPECT_EQ(part, L"b.txt");
    EXPECT_TRUE(GetFileNamePart(L"C:\\a\\b.txt", part, false));
    EXPECT_EQ(part, L"b");
    EXPECT_FALSE(GetFileName(L"C:\\a\\", part));

    GetLastComponent(L"a\\b\\", part);
    EXPECT_EQ(part, L"b");
    GetLastComponent(L"", part);
    EXPECT_EQ(part, L"");

    std::wstring first, rest;
    SplitFirstComponent(first, rest, L"a/b\\c\\d");
    EXPECT_EQ(first, L"a/b");
    EXPECT_EQ(rest, L"c\\d");
    SplitFirstComponent(first, rest, L"single");
    EXPECT_EQ(first, L"single");
    EXPECT_EQ(rest, L"");
}

TEST(PathHelpers, RootLengthAndSplitRoot) {
    const struct {
        const wchar_t* path;
        size_t length;
    } cases[] = {
        {L"\\\\server\\share\\x", 9},
        {L"\\\\server", 8},
        {L"\\x", 1},
        {L"C:\\x", 3},
        {L"C:x", 2},
        {L"x", 0},
        {L"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(GetRootLength(c.path), c.length) << c.path;
    std::wstring root, rest;
    SplitRoot(L"C:\\a\\b", root, rest);
    EXPECT_EQ(root, L"C:\\");
    EXPECT_EQ(rest, L"a\\b");
}

TEST(PathHelpers, SplitPathAndNormalizeDots) {
    std::list<std::wstring> pieces{L"kept"};
    SplitPath(L"\\a\\\\b\\", pieces);
    EXPECT_EQ(pieces, (std::list<std::wstring>{L"kept", L"", L"a", L"", L"b", L""}));
    pieces.clear();
    SplitPath(L"", pieces);
    EXPECT_TRUE(pieces.empty());
    SplitPath(L"a/b", pieces);
    EXPECT_EQ(pieces, std::list<std::wstring>{L"a/b"});

    const struct {
        const wchar_t *in, *out;
    } cases[] = {
        {L"a\\.\\b\\...\\c", L"a\\b\\..\\c"},
        {L"a\\....\\b", L"a\\..\\..\\b"},
        {L"\\\\srv\\.\\x", L"\\\\srv\\x"},
        {L"..\\a", L"..\\a"},
        {L"a.b\\c", L"a.b\\c"},
        {L"", L""},
    };
    for (const auto& c : cases) {
        std::wstring path = c.in;
        EXPECT_TRUE(NormalizeDots(path));
        EXPECT_EQ(path, c.out) << c.in;
    }
}

TEST(PathHelpers, ParentsAndPrefixes) {
    std::wstring out;
    GetParentPath(out, L"C:\\a\\b");
    EXPECT_EQ(out, L"C:\\a");
    GetParentPath(out, L"name");
    EXPECT_EQ(out, L"");

    std::wstring path = L"C:\\a\\b\\";
    EXPECT_TRUE(ToParentFolder(path));
    EXPECT_EQ(path, L"C:\\a\\");
    path = L"C:\\";
    EXPECT_FALSE(ToParentFolder(path));
    EXPECT_EQ(GetParentFolder(L"\\\\server\\share"), L"");
    EXPECT_EQ(GetParentFolder(L"\\\\server\\share\\x"), L"\\\\server\\share\\");
    EXPECT_EQ(GetParentFolder(L""), L"");

    EXPECT_TRUE(RemovePathPrefix(out, L"C:\\Pics\\a\\b", L"c:\\pics"));
    EXPECT_EQ(out, L"a\\b");
    EXPECT_TRUE(RemovePathPrefix(out, L"C:\\Pics\\a", L"C:\\Pics\\"));
    EXPECT_EQ(out, L"a");
    EXPECT_TRUE(RemovePathPrefix(out, L"C:\\Pics", L"C:\\Pics"));
    EXPECT_EQ(out, L"");
    EXPECT_FALSE(RemovePathPrefix(out, L"C:\\Pics2\\a", L"C:\\Pics"));
    EXPECT_TRUE(RemovePathPrefix(out, L"x\\y", L""));
    EXPECT_EQ(out, L"x\\y");

    GetCommonFolder(L"C:\\Abc\\d\\e", L"c:\\abc\\d\\f", out);
    EXPECT_EQ(out, L"C:\\Abc\\d");
    GetCommonFolder(L"C:\\abc", L"C:\\abc\\x", out);
    EXPECT_EQ(out, L"C:\\abc");
    GetCommonFolder(L"C:\\abc", L"C:\\abd", out);
    EXPECT_EQ(out, L"C:");
    GetCommonFolder(L"abc", L"xyz", out);
    EXPECT_EQ(out, L"");
}

TEST(PathHelpers, TrailingSeparators) {
    const struct {
        const wchar_t* in;
        bool removed;
        const wchar_t* out;
    } remove[] = {
        {L"C:\\", false, L"C:\\"},
        {L"C:/", true, L"C:"},
        {L"\\\\server\\share\\", true, L"\\\\server\\share"},
        {L"a/", true, L"a"},
        {L"a", false, L"a"},
        {L"", false, L""},
    };
    for (const auto& c : remove) {
        std::wstring path = c.in;
        EXPECT_EQ(RemoveTrailingSeparator(path), c.removed) << c.in;
        EXPECT_EQ(path, c.out);
    }
    std::wstring path = L"";
    EXPECT_TRUE(AddTrailingSeparator(path));
    EXPECT_EQ(path, L"\\");
    path = L"a/";
    EXPECT_FALSE(AddTrailingSeparator(path));
    path = L"a/";
    EXPECT_FALSE(RemoveTrailingBackslash(path));
    EXPECT_TRUE(DropTrailingSeparator(path));
    EXPECT_EQ(path, L"a");
    path = L"C:\\";
    EXPECT_TRUE(DropTrailingSeparator(path));
    EXPECT_EQ(path, L"C:");
    EXPECT_TRUE(AddSeparatorToDriveSpec(path));
    EXPECT_EQ(path, L"C:\\");
    path = L"1:";
    EXPECT_FALSE(AddSeparatorToDriveSpec(path));
    EXPECT_TRUE(AddSeparatorAfterColon(path));
    EXPECT_EQ(path, L"1:\\");
    path = std::wstring(L"ab\0cd", 5);
    EXPECT_TRUE(TruncateAtNul(path));
    EXPECT_EQ(path, L"ab");
    EXPECT_FALSE(TruncateAtNul(path));
}

TEST(PathHelpers, RootPredicates) {
    // drive spec, drive root path, drive root, UNC server, UNC share, root, top level, absolute
    const struct {
        const wchar_t* path;
        bool spec, rootPath, driveRoot, server, share, root, top, absolute;
    } cases[] = {
        {L"C:", true, true, false, false, false, false, true, false},
        {L"C:\\", false, true, true, false, false, true, true, true},
        {L"C:/", false, true, false, false, false, false, true, false},
        {L"C:\\x", false, false, false, false, false, false, false, true},
        {L"\\\\server", false, false, false, true, false, true, true, true},
        {L"\\\\server\\", false, false, false, true, true, true, true, true},
        {L"//server", false, false, false, true, false, false, true, false},
        {L"\\\\server\\share", false, false, false, false, true, true, false, true},
        {L"\\\\server\\share\\", false, false, false, false, true, true, false, true},
        {L"\\\\server\\share\\x", false, false, false, false, false, false, false, true},
        {L"\\", false, false, false, false, false, true, false, false},
        {L"name", false, false, false, false, false, false, true, false},
        {L"a\\b", false, false, false, false, false, false, false, false},
        {L"", false, false, false, false, false, false, false, false},
    };
    for (const auto& c : cases) {
        const std::wstring p = c.path;
        EXPECT_EQ(IsDriveSpec(p), c.spec) << p;
        EXPECT_EQ(IsDriveRootPath(p), c.rootPath) << p;
        EXPECT_EQ(IsDriveRoot(p), c.driveRoot) << p;
        EXPECT_EQ(IsUncServerRoot(p), c.server) << p;
        EXPECT_EQ(IsUncShareRoot(p), c.share) << p;
        EXPECT_EQ(IsRootPath(p), c.root) << p;
        EXPECT_EQ(IsTopLevelPath(p), c.top) << p;
        EXPECT_EQ(IsAbsolutePath(p), c.absolute) << p;
    }
    EXPECT_TRUE(IsAllDots(L""));
    EXPECT_TRUE(IsAllDots(L"..."));
    EXPECT_FALSE(IsAllDots(L".a"));
    EXPECT_TRUE(HasNoFolderPart(L"\\x"));
    EXPECT_TRUE(HasNoFolderPart(L"a/b"));
    EXPECT_FALSE(HasNoFolderPart(L"a\\b"));
    EXPECT_TRUE(IsRootRelative(L"\\DCIM"));
    EXPECT_FALSE(IsRootRelative(L"\\\\srv"));
    EXPECT_FALSE(HasNoSeparator(L""));
    EXPECT_EQ(GetDriveLetter(L"K:\\DCIM"), L'K');
    EXPECT_EQ(GetDriveLetter(L"\\DCIM"), L'_');
    std::wstring root;
    GetDriveRoot(L"k:x", root);
    EXPECT_EQ(root, L"k:\\");
}

TEST(PathHelpers, ValidRelativePathRefusesLineBreaksAndReservedCharacters) {
    const struct {
        std::wstring path;
        bool valid;
    } cases[] = {
        {L"", true},       {L"a", true},           {L"a\\b/c", true}, {L"a\\b\\", true},  {L"a\\\\b", false},
        {L"\\a", false},   {L"C:\\a", false},      {L"a*b", false},   {L"a\"b", false},   {L"a|b", false},
        {L"a:\nb", false}, {L"C:\\x\nfoo", false}, {L"a\nb", false},  {L"a\r\nb", false}, {L"ab\n", false},
        {L"\n", false},    {L"a\\b\n\\", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsValidRelativePath(c.path), c.valid) << c.path;
}

TEST(PathHelpers, CaseInsensitiveComparisons) {
    EXPECT_EQ(CompareNoCase(L"ABC", L"abc"), 0);
    EXPECT_LT(CompareNoCase(L"abc", L"abd"), 0);
    EXPECT_EQ(CompareNoCase(L"ABCx", L"abcy", 3), 0);
    EXPECT_TRUE(EqualsNoCase(std::wstring(L"Pics"), std::wstring(L"PICS")));
    EXPECT_TRUE(StartsWithNoCase(L"C:\\Pics\\x", L"c:\\pics"));
    EXPECT_FALSE(StartsWithNoCase(L"C:", L"c:\\pics"));
    EXPECT_TRUE(EndsWithNoCase(std::wstring(L"image.JPG"), std::wstring(L".jpg")));
    EXPECT_TRUE(EndsWithNoCase(std::wstring(L"image.JPG"), L".jpg"));
    EXPECT_FALSE(EndsWithNoCase(L"g", L".jpg"));

    EXPECT_TRUE(IsSamePath(L"C:\\Pics", L"c:\\pics\\"));
    EXPECT_TRUE(IsSamePath(L"c:\\pics/", L"C:\\Pics"));
    EXPECT_FALSE(IsSamePath(L"C:\\Pics", L"C:\\Pics2"));
    EXPECT_FALSE(IsSamePath(L"C:\\Pics", L"C:\\Pics\\\\"));
    EXPECT_TRUE(IsSameOrSubPath(L"C:\\Pics\\", L"c:\\pics\\2024"));
    EXPECT_TRUE(IsSameOrSubPath(L"C:\\Pics", L"c:\\pics"));
    EXPECT_FALSE(IsSameOrSubPath(L"C:\\Pics", L"c:\\pics2"));
    EXPECT_FALSE(IsSameOrSubPath(L"", L"c:\\pics2"));
    EXPECT_TRUE(IsPathUnder(L"C:\\Pics\\a", L"c:\\PICS"));
    EXPECT_FALSE(IsPathUnder(L"C:\\Picsa", L"c:\\PICS"));
    EXPECT_TRUE(IsPathUnder(L"anything", L""));
    EXPECT_TRUE(EqualsIgnoreCase(L"AbC", L"aBc"));
    EXPECT_FALSE(EqualsIgnoreCase(L"AbC", L"aBcd"));
    EXPECT_EQ(CompareUInt(1, 2), -1);
    EXPECT_EQ(CompareUInt(0xFFFFFFFFu, 2), 1);
    EXPECT_EQ(CompareUInt(7, 7), 0);
}

TEST(PathHelpers, NaturalComparisonFoldsCaseAndSeparatorsAndOrdersNumbers) {
    EXPECT_LT(ComparePathsNatural(L"x\\file2", L"x\\file10"), 0);
    EXPECT_GT(ComparePathsNatural(L"x\\file10", L"x\\file2"), 0);
    EXPECT_EQ(ComparePathsNatural(L"X/a", L"x\\a"), 0);
    EXPECT_EQ(ComparePathsNatural(L"x\\a", L"x\\a\\b"), -1);
    EXPECT_EQ(ComparePathsNatural(L"x\\a\\b", L"x\\a"), 1);
    // Only the differing component counts: "b" against "a10", not the rest of the path.
    EXPECT_GT(ComparePathsNatural(L"x\\b\\1", L"x\\a10\\9"), 0);
    // The system's own order decides inside the component.
    EXPECT_EQ(ComparePathsNatural(L"d\\img9", L"d\\img10") < 0, ::StrCmpLogicalW(L"img9", L"img10") < 0);
}

TEST(PathHelpers, InvalidFileNameCharactersBecomeFullWidth) {
    std::wstring out;
    ToValidFileNameChars(out, L"a:b?c");
    EXPECT_EQ(out, L"a\xFF1A"
                   L"b\xFF1F"
                   L"c");
    ToValidFileNameChars(out, L"\"*,/:;<>?\\|ok");
    EXPECT_EQ(out, L"\x201D\xFF0A\xFF0C\xFF0F\xFF1A\xFF1B\xFF1C\xFF1E\xFF1F\xFF3C\xFF5C"
                   L"ok");
    ToValidFileNameChars(out, nullptr);
    EXPECT_EQ(out, L"");
}

// Random texts over the characters that matter to the parsers; invariants only.
TEST(PathHelpers, RandomTextsKeepInvariants) {
    const wchar_t alphabet[] = L"ab.\\/:*\n";
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::wstring text;
        const int length = static_cast<int>(random() % 12);
        for (int i = 0; i < length; ++i)
            text += alphabet[random() % (sizeof(alphabet) / sizeof(wchar_t) - 1)];

        std::list<std::wstring> pieces;
        SplitPath(text, pieces);
        std::wstring joined;
        for (auto it = pieces.begin(); it != pieces.end(); ++it)
            joined += (it == pieces.begin() ? L"" : L"\\") + *it;
        EXPECT_EQ(joined, text);

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

        std::wstring trimmed = text;
        if (RemoveTrailingSeparator(trimmed)) {
            EXPECT_EQ(trimmed.size() + 1, text.size());
        }
        EXPECT_EQ(ComparePathsNatural(text, text), 0);
        EXPECT_TRUE(IsSamePath(text, text));
    }
}
