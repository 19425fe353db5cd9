#include "foundation/PlatformPaths.h"

#include "foundation/PathHelpers.h"
#include "tests/support/TempFolder.h"

#include <shlwapi.h>

#include <gtest/gtest.h>

TEST(PlatformPaths, ModulePathFromCommandLines)
{
    CTempFolder temp;
    const std::wstring program = temp.WriteFile(L"my tools\\run me.exe", "");
    std::wstring out;
    ASSERT_TRUE(GetModulePathFromCommandLine(out, L"\"" + program + L"\" /start -x"));
    EXPECT_TRUE(EqualsNoCase(out, program)) << out;
    // An unquoted name is cut at the first blank and found through the search path, ".EXE" added.
    ASSERT_TRUE(GetModulePathFromCommandLine(out, L"notepad /x"));
    EXPECT_TRUE(EndsWithNoCase(out, std::wstring(L"\\notepad.exe"))) << out;
    EXPECT_FALSE(GetModulePathFromCommandLine(out, L"\"" + program + L" /start"));
    EXPECT_FALSE(GetModulePathFromCommandLine(out, temp.Path(L"missing.exe")));
}

TEST(PlatformPaths, CreateFolderTreeTakesTheFolderPartAndFailsWhereAFileStands)
{
    CTempFolder temp;
    EXPECT_TRUE(CreateFolderTree(temp.Path(L"a\\b\\file.txt")));
    EXPECT_TRUE(::PathIsDirectoryW(temp.Path(L"a\\b").c_str()));
    EXPECT_FALSE(::PathFileExistsW(temp.Path(L"a\\b\\file.txt").c_str()));
    EXPECT_TRUE(CreateFolderTree(temp.Path(L"c\\d\\")));
    EXPECT_TRUE(::PathIsDirectoryW(temp.Path(L"c\\d").c_str()));
    // The folder part exists already.
    EXPECT_TRUE(CreateFolderTree(temp.Path(L"newname")));
    EXPECT_FALSE(::PathFileExistsW(temp.Path(L"newname").c_str()));
    EXPECT_FALSE(CreateFolderTree(L""));

    temp.WriteFile(L"plain", "content");
    EXPECT_FALSE(CreateFolderTree(temp.Path(L"plain\\")));
    EXPECT_FALSE(CreateFolderTree(temp.Path(L"plain\\sub\\x.txt")));
    EXPECT_EQ(temp.ReadFile(L"plain"), "content");
    EXPECT_FALSE(CreateFolderTree(temp.Path(L"line\nbreak\\")));
    EXPECT_FALSE(::PathFileExistsW(temp.Path(L"line\nbreak").c_str()));
}

TEST(PlatformPaths, ResolveExistingPathWalksUpToWhatExists)
{
    CTempFolder temp;
    ASSERT_TRUE(::CreateDirectoryW(temp.Path(L"pics").c_str(), nullptr));
    EXPECT_EQ(ResolveExistingPath(temp.Path(L"pics\\x\\y")), temp.Path(L"pics"));
    EXPECT_FALSE(::PathFileExistsW(temp.Path(L"pics\\x").c_str()));
    EXPECT_EQ(ResolveExistingPath(L"C:\\fh-none-1\\fh-none-2"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L"C:"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L""), L"");
}

// Relative texts resolve against the current folder, dots fold away, and length is no limit.
TEST(PlatformPaths, LongFullPathHasNoLengthLimit)
{
    wchar_t current[MAX_PATH] = L"";
    ASSERT_TRUE(::GetCurrentDirectoryW(MAX_PATH, current));
    std::wstring base = current;
    if (base.back() != L'\\') base += L'\\';
    const std::wstring deep = std::wstring(150, L'a') + L"\\" + std::wstring(150, L'b') + L"\\c.txt";
    const std::pair<std::wstring, std::wstring> cases[] = {
        {deep, base + deep},
        {L"x\\..\\" + deep, base + deep},
        {L"C:\\one\\.\\two\\..\\three", L"C:\\one\\three"},
        {L"C:/one/two", L"C:\\one\\two"},
    };
    for (const auto& [path, expected] : cases) {
        std::wstring out = L"old";
        ASSERT_TRUE(GetLongFullPath(out, path.c_str())) << path;
        EXPECT_EQ(out, expected);
        std::wstring limited;
        EXPECT_EQ(GetFullPath(limited, path.c_str()), expected.size() < MAX_PATH) << "the short form stops there";
    }
}
