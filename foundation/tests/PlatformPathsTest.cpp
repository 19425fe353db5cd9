#include "foundation/PlatformPaths.h"

#include "foundation/PathHelpers.h"
#include "foundation/tests/PathTestSupport.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

using PlatformPaths = ScratchTest;

TEST_F(PlatformPaths, SystemFoldersAndFullPaths) {
    std::wstring folder, current, full;
    ASSERT_TRUE(GetTempFolderPath(folder));
    EXPECT_TRUE(::PathIsDirectoryW(folder.c_str())) << folder;
    ASSERT_TRUE(GetSpecialFolderPath(folder, nullptr, CSIDL_PERSONAL, false));
    EXPECT_TRUE(::PathIsDirectoryW(folder.c_str())) << folder;

    ASSERT_TRUE(GetCurrentFolder(current));
    ASSERT_TRUE(GetFullPath(full, L"x.txt"));
    EXPECT_EQ(full, CombinePath(current, L"x.txt"));
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'a');
    EXPECT_FALSE(GetFullPath(full, tooLong.c_str()));
    GetFullPathOrSelf(full, tooLong);
    EXPECT_EQ(full, tooLong);
}

TEST_F(PlatformPaths, ModulePathFromCommandLines) {
    std::wstring out;
    m_scratch.MakeFolder(L"my tools");
    m_scratch.MakeFile(L"my tools\\run me.exe");
    const std::wstring program = m_scratch.Path(L"my tools\\run me.exe");
    ASSERT_TRUE(GetModulePathFromCommandLine(out, L"\"" + program + L"\" /start -x"));
    EXPECT_TRUE(EqualsNoCase(out, program)) << out;
    // An unquoted name is cut at the first blank and found through the search path, ".EXE" added.
    ASSERT_TRUE(GetModulePathFromCommandLine(out, L"notepad /x"));
    EXPECT_TRUE(EndsWithNoCase(out, std::wstring(L"\\notepad.exe"))) << out;
    EXPECT_FALSE(GetModulePathFromCommandLine(out, L"\"" + program + L" /start"));
    EXPECT_FALSE(GetModulePathFromCommandLine(out, m_scratch.Path(L"missing.exe")));
}

TEST_F(PlatformPaths, CreateFolderTreeTakesTheFolderPartAndFailsWhereAFileStands) {
    EXPECT_TRUE(CreateFolderTree(m_scratch.Path(L"a\\b\\file.txt")));
    EXPECT_TRUE(m_scratch.IsFolder(L"a\\b"));
    EXPECT_FALSE(m_scratch.Exists(L"a\\b\\file.txt"));
    EXPECT_TRUE(CreateFolderTree(m_scratch.Path(L"c\\d\\")));
    EXPECT_TRUE(m_scratch.IsFolder(L"c\\d"));
    // The folder part exists already.
    EXPECT_TRUE(CreateFolderTree(m_scratch.Path(L"newname")));
    EXPECT_FALSE(CreateFolderTree(L""));

    m_scratch.MakeFile(L"plain", "content");
    EXPECT_FALSE(CreateFolderTree(m_scratch.Path(L"plain\\")));
    EXPECT_FALSE(CreateFolderTree(m_scratch.Path(L"plain\\sub\\x.txt")));
    EXPECT_EQ(m_scratch.ReadFile(L"plain"), "content");
    EXPECT_FALSE(CreateFolderTree(m_scratch.Path(L"line\nbreak\\")));
    EXPECT_EQ(m_scratch.CountEntries(), 3);
}

TEST_F(PlatformPaths, ResolveExistingPathWalksUpToWhatExists) {
    m_scratch.MakeFolder(L"pics");
    EXPECT_EQ(ResolveExistingPath(m_scratch.Path(L"pics\\x\\y")), m_scratch.Path(L"pics"));
    EXPECT_EQ(ResolveExistingPath(L"C:\\fh-none-1\\fh-none-2"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L"C:"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L""), L"");
    EXPECT_EQ(m_scratch.CountEntries(), 1);
}
