#include "shell/FileUtilities.h"

#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "foundation/tests/PathTestSupport.h"
#include "ids/files.h"
#include "tests/support/UiLanguage.h"

#include <gtest/gtest.h>

#include <functional>

using FileUtilities = ScratchTest;

namespace {

// Runs `action`, expecting my::CException with `id`; returns it for further checks.
my::CException ExpectThrows(const std::function<void()>& action, UINT id) {
    try {
        action();
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, id) << e.m_message;
        return e;
    }
    ADD_FAILURE() << "no exception for message " << id;
    return my::CException();
}

std::wstring Format(UINT id, const std::wstring& a1, const std::wstring& a2) {
    std::wstring text;
    FormatResString(text, id, a1.c_str(), a2.c_str());
    return text;
}

} // namespace

TEST_F(FileUtilities, MessagesExistInBothLanguages) {
    for (UINT id : {IDS_COPY_FILE_FAILED, IDS_MOVE_FILE_FAILED, IDS_CREATE_FILE_FAILED,
                    IDS_DELETE_FILE_FAILED, IDS_DELETE_FOLDER_FAILED, IDS_CREATE_FOLDER_FAILED})
        ExpectStringInBothLanguages(id);
    EXPECT_EQ(
        LoadResString(IDS_CREATE_FOLDER_FAILED),
        ByLanguage(L"Failed to create folder - %s\n\n%s", L"フォルダーを作成できませんでした - %s\n\n%s"));
    EXPECT_EQ(LoadResString(IDS_DELETE_FOLDER_FAILED),
              ByLanguage(L"Failed to delete folder\n\n%s", L"フォルダーを削除できませんでした\n\n%s"));
}

TEST_F(FileUtilities, CreateFolderTreeMakesEveryLevelAndAcceptsAnExistingFolder) {
    const std::wstring deep = m_scratch.Path(L"a\\b\\c");
    EXPECT_EQ(files::CreateFolderTree(deep), 0u);
    EXPECT_TRUE(m_scratch.IsFolder(L"a\\b\\c"));
    EXPECT_EQ(files::CreateFolderTree(deep), 0u);
    files::CreateFolderOrThrow(deep);
    EXPECT_EQ(files::CreateParentFolder(m_scratch.Path(L"p\\q\\file.txt")), 0u);
    EXPECT_TRUE(m_scratch.IsFolder(L"p\\q"));
    EXPECT_FALSE(m_scratch.Exists(L"p\\q\\file.txt"));
    files::CreateParentFolderOrThrow(m_scratch.Path(L"r/s.txt"));
    EXPECT_TRUE(m_scratch.IsFolder(L"r"));
}

TEST_F(FileUtilities, AFileWhereTheFolderShouldBeIsAFailure) {
    m_scratch.MakeFile(L"taken", "data");
    EXPECT_NE(files::CreateFolderTree(m_scratch.Path(L"taken")), 0u);
    const my::CException e =
        ExpectThrows([&] { files::CreateFolderOrThrow(m_scratch.Path(L"taken")); }, IDS_CREATE_FOLDER_FAILED);
    EXPECT_EQ(e.m_code, static_cast<UINT>(HResultFromWin32(ERROR_ALREADY_EXISTS)));
    EXPECT_NE(e.m_message.find(m_scratch.Path(L"taken")), std::wstring::npos) << e.m_message;
    ExpectThrows([&] { files::CreateFolderOrThrow(m_scratch.Path(L"taken\\below")); },
                 IDS_CREATE_FOLDER_FAILED);
    ExpectThrows([&] { files::CreateParentFolderOrThrow(m_scratch.Path(L"taken\\x.txt")); },
                 IDS_CREATE_FOLDER_FAILED);
    EXPECT_EQ(m_scratch.ReadFile(L"taken"), "data");
    EXPECT_EQ(m_scratch.CountEntries(), 1);
}

TEST_F(FileUtilities, DriveRootsAreNeverCreated) {
    EXPECT_EQ(files::CreateFolderTree(L"C:\\"), 0u);
    // Find a letter that no drive uses.
    const DWORD drives = ::GetLogicalDrives();
    wchar_t letter = 0;
    for (int i = 25; i >= 3 && !letter; --i)
        if (!(drives & (1u << i)))
            letter = static_cast<wchar_t>(L'A' + i);
    ASSERT_NE(letter, 0);
    const std::wstring root = std::wstring(1, letter) + L":\\";
    EXPECT_EQ(files::CreateFolderTree(root), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const my::CException e =
        ExpectThrows([&] { files::CreateFolderOrThrow(root); }, IDS_CREATE_FOLDER_FAILED);
    EXPECT_EQ(e.m_code, 0x80070005u);
    EXPECT_TRUE(files::IsDriveRoot(L"C:\\"));
    EXPECT_FALSE(files::IsDriveRoot(L"C:"));
    EXPECT_FALSE(files::IsDriveRoot(L""));
    EXPECT_FALSE(files::IsDriveRoot(L"\\\\srv\\"));
}

TEST_F(FileUtilities, ParentOfAPathWithoutFileName) {
    EXPECT_EQ(files::CreateParentFolder(m_scratch.Path(L"x\\")), static_cast<DWORD>(ERROR_BAD_PATHNAME));
    const my::CException e = ExpectThrows([&] { files::CreateParentFolderOrThrow(m_scratch.Path(L"x\\")); },
                                          IDS_CREATE_FOLDER_FAILED);
    EXPECT_EQ(e.m_code, 0x800700A1u);
    EXPECT_EQ(m_scratch.CountEntries(), 0);
}

TEST_F(FileUtilities, LineBreaksAndMissingFilesGetTheirMessageAndChangeNothing) {
    const std::wstring bad = m_scratch.Path(L"a\nb");
    const my::CException e = ExpectThrows([&] { files::CreateFolderOrThrow(bad); }, IDS_CREATE_FOLDER_FAILED);
    EXPECT_NE(e.m_message.find(bad), std::wstring::npos) << e.m_message;
    ExpectThrows([&] { files::CreateParentFolderOrThrow(bad + L"\\x.txt"); }, IDS_CREATE_FOLDER_FAILED);
    ExpectThrows([&] { files::CreateEmptyFileOrThrow(bad); }, IDS_CREATE_FILE_FAILED);
    ExpectThrows([&] { files::CopyFileOrThrow(m_scratch.Path(L"none"), m_scratch.Path(L"copy"), false); },
                 IDS_COPY_FILE_FAILED);
    EXPECT_EQ(m_scratch.CountEntries(), 0);
}

TEST_F(FileUtilities, DeleteFileAndFolder) {
    m_scratch.MakeFile(L"f.txt");
    files::DeleteFileOrThrow(m_scratch.Path(L"f.txt"));
    EXPECT_FALSE(m_scratch.Exists(L"f.txt"));
    const my::CException e =
        ExpectThrows([&] { files::DeleteFileOrThrow(m_scratch.Path(L"f.txt")); }, IDS_DELETE_FILE_FAILED);
    EXPECT_EQ(e.m_code, static_cast<UINT>(HResultFromWin32(ERROR_FILE_NOT_FOUND)));

    m_scratch.MakeFolder(L"tree");
    m_scratch.MakeFolder(L"tree\\sub");
    m_scratch.MakeFile(L"tree\\sub\\x");
    m_scratch.MakeFile(L"keep");
    files::DeleteFolderOrThrow(m_scratch.Path(L"tree"));
    EXPECT_FALSE(m_scratch.Exists(L"tree"));
    EXPECT_TRUE(m_scratch.IsFile(L"keep"));

    const my::CException empty =
        ExpectThrows([] { files::DeleteFolderOrThrow(L""); }, IDS_DELETE_FOLDER_FAILED);
    EXPECT_EQ(empty.m_message,
              ByLanguage(L"Failed to delete folder\n\n", L"フォルダーを削除できませんでした\n\n"));
    EXPECT_EQ(m_scratch.CountEntries(), 1);
}

TEST_F(FileUtilities, CopyMoveAndCreateReportTheirPaths) {
    m_scratch.MakeFile(L"src", "payload");
    m_scratch.MakeFile(L"dst", "old");
    const std::wstring src = m_scratch.Path(L"src"), dst = m_scratch.Path(L"dst");
    const my::CException e =
        ExpectThrows([&] { files::CopyFileOrThrow(src, dst, true); }, IDS_COPY_FILE_FAILED);
    EXPECT_EQ(e.m_code, static_cast<UINT>(HResultFromWin32(ERROR_FILE_EXISTS)));
    EXPECT_NE(e.m_message.find(src + L"\n->\n" + dst), std::wstring::npos) << e.m_message;
    EXPECT_EQ(m_scratch.ReadFile(L"dst"), "old");
    files::CopyFileOrThrow(src, dst, false);
    EXPECT_EQ(m_scratch.ReadFile(L"dst"), "payload");

    const std::wstring moved = m_scratch.Path(L"moved");
    files::MoveFileOrThrow(src, moved, 0);
    EXPECT_FALSE(m_scratch.Exists(L"src"));
    EXPECT_EQ(m_scratch.ReadFile(L"moved"), "payload");
    const my::CException m =
        ExpectThrows([&] { files::MoveFileOrThrow(src, moved, 0); }, IDS_MOVE_FILE_FAILED);
    EXPECT_NE(m.m_message.find(src + L"\n->\n" + moved), std::wstring::npos) << m.m_message;

    files::CreateEmptyFileOrThrow(m_scratch.Path(L"empty"));
    EXPECT_EQ(m_scratch.ReadFile(L"empty"), "");
    const my::CException c = ExpectThrows([&] { files::CreateEmptyFileOrThrow(m_scratch.Path(L"moved")); },
                                          IDS_CREATE_FILE_FAILED);
    EXPECT_EQ(c.m_message.substr(0, Format(IDS_CREATE_FILE_FAILED, L"", L"").find(L'-')),
              Format(IDS_CREATE_FILE_FAILED, L"", L"")
                  .substr(0, Format(IDS_CREATE_FILE_FAILED, L"", L"").find(L'-')));
    EXPECT_EQ(m_scratch.ReadFile(L"moved"), "payload");
}

TEST_F(FileUtilities, ShellDeleteAndFileOperationOnLists) {
    m_scratch.MakeFile(L"a");
    m_scratch.MakeFile(L"b");
    m_scratch.MakeFile(L"c");
    bool aborted = true;
    const FILEOP_FLAGS quiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    EXPECT_EQ(files::DeleteFiles({m_scratch.Path(L"a"), m_scratch.Path(L"b")}, nullptr, quiet, &aborted), 0);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(files::DeleteFile(m_scratch.Path(L"c").c_str(), nullptr, quiet, nullptr), 0);
    EXPECT_EQ(m_scratch.CountEntries(), 0);

    m_scratch.MakeFolder(L"from");
    m_scratch.MakeFolder(L"to");
    m_scratch.MakeFile(L"from\\x", "1");
    m_scratch.MakeFile(L"from\\y", "2");
    EXPECT_EQ(files::FileOperation(m_scratch.Path(L"to"),
                                   {m_scratch.Path(L"from\\x"), m_scratch.Path(L"from\\y")}, nullptr, FO_COPY,
                                   quiet),
              S_OK);
    EXPECT_EQ(m_scratch.ReadFile(L"to\\x"), "1");
    EXPECT_EQ(m_scratch.ReadFile(L"to\\y"), "2");
    EXPECT_EQ(
        files::FileOperation(m_scratch.Path(L"to"), {m_scratch.Path(L"from\\none")}, nullptr, FO_COPY, quiet),
        E_FAIL);
}

TEST(FileUtilitiesGuid, ComparesAllSixteenBytes) {
    const GUID a = {0x85FB8528, 0x27C6, 0x4279, {0xB9, 0xCB, 0x0D, 0xF8, 0xC9, 0xDD, 0xD1, 0x8E}};
    GUID b = a;
    EXPECT_TRUE(files::IsEqualGuid(a, b));
    for (int byte = 0; byte < 16; ++byte) {
        b = a;
        reinterpret_cast<unsigned char*>(&b)[byte] ^= 1;
        EXPECT_FALSE(files::IsEqualGuid(a, b)) << byte;
    }
}
