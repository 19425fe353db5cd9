#include "foundation/FolderCreation.h"

#include "foundation/Exception.h"
#include "foundation/LastError.h"
#include "ids/files.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

TEST(FolderCreation, FolderTreesAreMadeAndAFileInTheWayIsNoFolder)
{
    CTempFolder temp;
    EXPECT_EQ(files::CreateFolderTree(temp / L"a\\b\\c"), 0u);
    EXPECT_TRUE(std::filesystem::is_directory(temp / L"a\\b\\c"));
    EXPECT_EQ(files::CreateFolderTree(temp / L"a\\b\\c"), 0u);
    files::CreateParentFolderOrThrow(temp / L"p/q.txt");
    EXPECT_TRUE(std::filesystem::is_directory(temp / L"p"));

    // The shell answers "already exists" for a file as well; only a folder counts.
    const std::wstring file = temp.WriteFile(L"pictures", "not a folder");
    EXPECT_EQ(files::CreateFolderTree(file), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    my::CException e;
    try {
        files::CreateFolderOrThrow(file);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& caught) {
        e = caught;
    }
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CREATE_FOLDER_FAILED));
    EXPECT_EQ(e.m_code, static_cast<UINT>(FailureFromWin32(ERROR_ALREADY_EXISTS)));
    EXPECT_NE(e.m_message.find(file), std::wstring::npos);
    EXPECT_THROW(files::CreateParentFolderOrThrow(file + L"\\x.txt"), my::CException);
    EXPECT_EQ(temp.ReadFile(L"pictures"), "not a folder");
}
