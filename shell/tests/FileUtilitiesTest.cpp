#include "shell/FileUtilities.h"

#include "foundation/Exception.h"
#include "foundation/ResString.h"
#include "ids/files.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

// Runs `action`, expecting my::CException with `id`; returns it for further checks.
my::CException ExpectThrows(const std::function<void()>& action, UINT id)
{
    try {
        action();
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, id) << e.m_message;
        return e;
    }
    ADD_FAILURE() << "no exception for message " << id;
    return my::CException();
}

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FileUtilities, FolderTreesAreMadeAndAFileInTheWayIsNoFolder)
{
    CTempFolder temp;
    EXPECT_EQ(files::CreateFolderTree(temp / L"a\\b\\c"), 0u);
    EXPECT_TRUE(IsFolder(temp / L"a\\b\\c"));
    EXPECT_EQ(files::CreateFolderTree(temp / L"a\\b\\c"), 0u);
    files::CreateParentFolderOrThrow(temp / L"p/q.txt");
    EXPECT_TRUE(IsFolder(temp / L"p"));
    EXPECT_EQ(files::CreateParentFolder(temp / L"x\\"), static_cast<DWORD>(ERROR_BAD_PATHNAME));

    // The shell answers "already exists" for a file as well; only a folder counts.
    const std::wstring file = temp.WriteFile(L"pictures", "not a folder");
    EXPECT_EQ(files::CreateFolderTree(file), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    const my::CException e =
        ExpectThrows([&] { files::CreateFolderOrThrow(file); }, IDS_CREATE_FOLDER_FAILED);
    EXPECT_EQ(e.m_code, static_cast<UINT>(HResultFromWin32(ERROR_ALREADY_EXISTS)));
    EXPECT_NE(e.m_message.find(file), std::wstring::npos);
    ExpectThrows([&] { files::CreateParentFolderOrThrow(file + L"\\x.txt"); }, IDS_CREATE_FOLDER_FAILED);
    EXPECT_EQ(temp.ReadFile(L"pictures"), "not a folder");
}

TEST(FileUtilities, DriveRootsAreNeverCreated)
{
    EXPECT_EQ(files::CreateFolderTree(L"C:\\"), 0u);
    const DWORD drives = ::GetLogicalDrives();
    wchar_t letter = 0;
    for (int i = 25; i >= 3 && !letter; --i) {
        if (!(drives & (1u << i))) letter = static_cast<wchar_t>(L'A' + i);
    }
    ASSERT_NE(letter, 0);
    const std::wstring root = std::wstring(1, letter) + L":\\";
    EXPECT_EQ(files::CreateFolderTree(root), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(ExpectThrows([&] { files::CreateFolderOrThrow(root); }, IDS_CREATE_FOLDER_FAILED).m_code,
              0x80070005u);
}

TEST(FileUtilities, FailuresNameTheirPathsAndChangeNothing)
{
    CTempFolder temp;
    const std::wstring src = temp.WriteFile(L"src", "payload");
    const std::wstring dst = temp.WriteFile(L"dst", "old");
    const my::CException copy =
        ExpectThrows([&] { files::CopyFileOrThrow(src, dst, true); }, IDS_COPY_FILE_FAILED);
    EXPECT_EQ(copy.m_code, static_cast<UINT>(HResultFromWin32(ERROR_FILE_EXISTS)));
    EXPECT_NE(copy.m_message.find(src + L"\n->\n" + dst), std::wstring::npos);
    EXPECT_EQ(temp.ReadFile(L"dst"), "old");
    files::CopyFileOrThrow(src, dst, false);
    EXPECT_EQ(temp.ReadFile(L"dst"), "payload");

    const my::CException move =
        ExpectThrows([&] { files::MoveFileOrThrow(temp / L"none", dst, 0); }, IDS_MOVE_FILE_FAILED);
    EXPECT_NE(move.m_message.find(temp / L"none"), std::wstring::npos);
    ExpectThrows([&] { files::CreateEmptyFileOrThrow(dst); }, IDS_CREATE_FILE_FAILED);
    EXPECT_EQ(temp.ReadFile(L"dst"), "payload");
    const my::CException del =
        ExpectThrows([&] { files::DeleteFileOrThrow(temp / L"none"); }, IDS_DELETE_FILE_FAILED);
    EXPECT_EQ(del.m_code, static_cast<UINT>(HResultFromWin32(ERROR_FILE_NOT_FOUND)));
}

TEST(FileUtilities, ShellOperationsOnLists)
{
    CTempFolder temp;
    temp.WriteFile(L"from\\x", "1");
    temp.WriteFile(L"from\\y", "2");
    temp.WriteFile(L"to\\keep", "k");
    const FILEOP_FLAGS quiet = FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI;
    const std::list<std::wstring> from = {temp / L"from\\x", temp / L"from\\y"};
    EXPECT_EQ(files::FileOperation(temp / L"to", from, nullptr, FO_COPY, quiet), S_OK);
    EXPECT_EQ(temp.ReadFile(L"to\\x"), "1");
    EXPECT_EQ(temp.ReadFile(L"to\\y"), "2");
    EXPECT_EQ(files::FileOperation(temp / L"to", {temp / L"from\\none"}, nullptr, FO_COPY, quiet), E_FAIL);

    bool aborted = true;
    EXPECT_EQ(files::DeleteFiles({temp / L"to\\x", temp / L"to\\y"}, nullptr, quiet, &aborted), 0);
    EXPECT_FALSE(aborted);
    EXPECT_EQ(::GetFileAttributesW((temp / L"to\\x").c_str()), INVALID_FILE_ATTRIBUTES);
    files::DeleteFolderOrThrow(temp / L"from");
    EXPECT_FALSE(IsFolder(temp / L"from"));
    EXPECT_EQ(temp.ReadFile(L"to\\keep"), "k");
    ExpectThrows([] { files::DeleteFolderOrThrow(L""); }, IDS_DELETE_FOLDER_FAILED);
}

} // namespace
