#include "foundation/PlatformPaths.h"

#include "foundation/Exception.h"
#include "foundation/PathHelpers.h"
#include "foundation/tests/PathTestSupport.h"
#include "ids/paths.h"
#include "tests/support/UiLanguage.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

using PlatformPaths = ScratchTest;

TEST_F(PlatformPaths, TempFolderFormsAgreeAndExist) {
    std::wstring plain, viaHr, thrown;
    ASSERT_TRUE(GetTempFolderPath(plain));
    ASSERT_EQ(GetTempFolderPathHr(viaHr), S_OK);
    GetTempFolderPathOrThrow(thrown);
    EXPECT_EQ(plain, viaHr);
    EXPECT_EQ(plain, thrown);
    EXPECT_TRUE(::PathIsDirectoryW(plain.c_str()));
    EXPECT_EQ(plain.size(), wcslen(plain.c_str()));
}

TEST_F(PlatformPaths, MessagesExistInBothLanguages) {
    ExpectStringInBothLanguages(IDS_TEMP_PATH_FAILED);
    my::CException e(IDS_TEMP_PATH_FAILED, E_FAIL);
    EXPECT_EQ(e.m_code, static_cast<UINT>(E_FAIL));
    EXPECT_EQ(e.m_message.rfind(ByLanguage(L"Failed to get temporally path - ",
                                           L"一時フォルダーのパスを取得できませんでした - "),
                                0),
              0u)
        << e.m_message;
}

TEST_F(PlatformPaths, SpecialFolderIsAnExistingFolder) {
    std::wstring out = L"stale";
    ASSERT_TRUE(GetSpecialFolderPath(out, nullptr, CSIDL_PERSONAL, false));
    EXPECT_TRUE(::PathIsDirectoryW(out.c_str())) << out;
    EXPECT_FALSE(GetSpecialFolderPath(out, nullptr, 0x7FFF, false));
    EXPECT_EQ(out, L"");
}

TEST_F(PlatformPaths, ModulePathFromTheProcessCommandLine) {
    wchar_t module[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring path, folder;
    ASSERT_TRUE(GetModulePathFromCommandLine(path));
    // The command line may name the program by a different spelling; both must be one file.
    EXPECT_TRUE(::PathFileExistsW(path.c_str()));
    EXPECT_TRUE(EqualsNoCase(GetBaseName(path), GetBaseName(module))) << path << L" / " << module;
    ASSERT_TRUE(GetModuleFolderFromCommandLine(folder));
    EXPECT_TRUE(EndsWithSeparator(folder));
    EXPECT_EQ(folder + GetBaseName(path) + L"." + GetFileExtension(path), path);
}

TEST_F(PlatformPaths, ModulePathFromQuotedAndPlainCommandLines) {
    m_scratch.MakeFolder(L"my tools");
    m_scratch.MakeFile(L"my tools\\run me.exe");
    const std::wstring program = m_scratch.Path(L"my tools\\run me.exe");
    std::wstring out = L"stale";
    ASSERT_TRUE(GetModulePathFromCommandLine(out, L"\"" + program + L"\" /start -x"));
    EXPECT_TRUE(EqualsNoCase(out, program)) << out;

    // An unquoted name is cut at the first blank and found through the search path, ".EXE" added.
    ASSERT_TRUE(GetModulePathFromCommandLine(out, L"notepad /x"));
    EXPECT_TRUE(EndsWithNoCase(out, std::wstring(L"\\notepad.exe"))) << out;
    EXPECT_TRUE(::PathFileExistsW(out.c_str()));

    EXPECT_FALSE(GetModulePathFromCommandLine(out, L"\"" + program + L" /start"));
    EXPECT_EQ(out, L"");
    EXPECT_FALSE(GetModulePathFromCommandLine(out, m_scratch.Path(L"missing.exe")));
    EXPECT_FALSE(GetModulePathFromCommandLine(out, L""));
}

TEST_F(PlatformPaths, FullAndCurrentPaths) {
    std::wstring current;
    ASSERT_TRUE(GetCurrentFolder(current));
    wchar_t reference[1024] = {};
    ::GetCurrentDirectoryW(1024, reference);
    EXPECT_EQ(current, reference);

    std::wstring full;
    ASSERT_TRUE(GetFullPath(full, L"x.txt"));
    EXPECT_EQ(full, CombinePath(current, L"x.txt"));
    EXPECT_FALSE(GetFullPath(full, nullptr));
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'a');
    full = L"kept";
    EXPECT_FALSE(GetFullPath(full, tooLong.c_str()));
    EXPECT_EQ(full, L"kept");

    GetFullPathOrSelf(full, tooLong);
    EXPECT_EQ(full, tooLong);
    GetFullPathOrSelf(full, L"");
    EXPECT_EQ(full, L"");
    GetFullPathOrSelf(full, L"C:\\a\\.\\b");
    EXPECT_EQ(full, L"C:\\a\\b");
}

TEST_F(PlatformPaths, UniqueFilePathSkipsExistingNames) {
    m_scratch.MakeFile(L"x1.tmp");
    std::wstring out;
    MakeUniqueFilePath(out, m_scratch.Path(), L"x", L".tmp");
    EXPECT_EQ(out, m_scratch.Path(L"x2.tmp"));
    MakeUniqueFilePath(out, m_scratch.Path(), L"y", L".tmp");
    EXPECT_EQ(out, m_scratch.Path(L"y1.tmp"));
    EXPECT_EQ(m_scratch.CountEntries(), 1);
}

TEST_F(PlatformPaths, ExistenceTests) {
    m_scratch.MakeFile(L"f.txt");
    m_scratch.MakeFolder(L"d");
    EXPECT_TRUE(PathExists(m_scratch.Path(L"f.txt")));
    EXPECT_TRUE(PathExists(m_scratch.Path(L"d")));
    EXPECT_FALSE(PathExists(m_scratch.Path(L"none")));
    EXPECT_TRUE(IsExistingFile(m_scratch.Path(L"f.txt")));
    EXPECT_FALSE(IsExistingFile(m_scratch.Path(L"d")));
    EXPECT_FALSE(IsExistingFile(m_scratch.Path(L"none")));
    EXPECT_FALSE(IsFloppyDrive(L"C:\\"));
    EXPECT_FALSE(IsFloppyDrive(L"A"));
}

TEST_F(PlatformPaths, CreateFolderTreeTakesAPathWithAnInnerBackslashAsAFilePath) {
    EXPECT_TRUE(CreateFolderTree(m_scratch.Path(L"a\\b\\file.txt")));
    EXPECT_TRUE(m_scratch.IsFolder(L"a\\b"));
    EXPECT_FALSE(m_scratch.Exists(L"a\\b\\file.txt"));

    EXPECT_TRUE(CreateFolderTree(m_scratch.Path(L"c\\d\\")));
    EXPECT_TRUE(m_scratch.IsFolder(L"c\\d"));

    // The folder part exists already.
    EXPECT_TRUE(CreateFolderTree(m_scratch.Path(L"newname")));
    EXPECT_FALSE(m_scratch.Exists(L"newname"));
    EXPECT_EQ(m_scratch.CountEntries(), 2);

    EXPECT_FALSE(CreateFolderTree(L""));
}

TEST_F(PlatformPaths, CreateFolderTreeFailsWhereAFileStands) {
    m_scratch.MakeFile(L"plain", "content");
    EXPECT_FALSE(CreateFolderTree(m_scratch.Path(L"plain\\")));
    EXPECT_FALSE(CreateFolderTree(m_scratch.Path(L"plain\\sub\\x.txt")));
    EXPECT_TRUE(m_scratch.IsFile(L"plain"));
    EXPECT_EQ(m_scratch.ReadFile(L"plain"), "content");
    EXPECT_EQ(m_scratch.CountEntries(), 1);

    EXPECT_FALSE(CreateFolderTree(m_scratch.Path(L"line\nbreak\\")));
    EXPECT_EQ(m_scratch.CountEntries(), 1);
}

TEST_F(PlatformPaths, CanonicalAndRelativePaths) {
    std::wstring path = L"C:\\a\\.\\b\\..\\c";
    ASSERT_TRUE(CanonicalizePath(path));
    EXPECT_EQ(path, L"C:\\a\\c");

    std::wstring out;
    ASSERT_TRUE(MakeRelativePath(out, m_scratch.Path(L"a"), m_scratch.Path(L"b\\f.txt")));
    EXPECT_EQ(out, L"..\\b\\f.txt");
    EXPECT_FALSE(MakeRelativePath(out, L"", m_scratch.Path(L"b")));

    ASSERT_TRUE(ResolveRelativePath(out, L"C:\\base\\sub", L"..\\x\\y.txt"));
    EXPECT_EQ(out, L"C:\\base\\x\\y.txt");
    EXPECT_FALSE(ResolveRelativePath(out, L"", L"x"));
    EXPECT_FALSE(ResolveRelativePath(out, L"C:\\base", L"D:\\x"));
}

TEST_F(PlatformPaths, ResolveExistingPathWalksUpToWhatExists) {
    m_scratch.MakeFolder(L"pics");
    EXPECT_EQ(ResolveExistingPath(m_scratch.Path(L"pics\\x\\y")), m_scratch.Path(L"pics"));
    EXPECT_EQ(ResolveExistingPath(m_scratch.Path(L"pics\\")), m_scratch.Path(L"pics"));
    EXPECT_EQ(ResolveExistingPath(L"C:\\"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L"C:\\fh-none-1\\fh-none-2"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L"C:"), L"C:\\");
    EXPECT_EQ(ResolveExistingPath(L""), L"");
    std::wstring inPlace = m_scratch.Path(L"pics/none/");
    ResolveExistingPathInPlace(inPlace);
    EXPECT_EQ(inPlace, m_scratch.Path(L"pics"));
    EXPECT_EQ(m_scratch.CountEntries(), 1);
}
