#include "shell/FileUtilities.h"

#include "foundation/Exception.h"
#include "ids/files.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>

// The shell answers "already exists" for a file as well as for a folder; only a folder counts.
TEST(FolderCreation, AFileInTheWayIsNoCreatedFolder) {
    CTempFolder temp;
    const std::wstring file = temp / L"pictures";
    WriteFileBytes(file, "not a folder");
    EXPECT_EQ(files::CreateFolderTree(file), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    try {
        files::CreateFolderOrThrow(file);
        ADD_FAILURE() << "no exception";
    } catch (const my::CException& e) {
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CREATE_FOLDER_FAILED));
        EXPECT_EQ(e.m_code, static_cast<UINT>(HRESULT_FROM_WIN32(ERROR_ALREADY_EXISTS)));
    }
    EXPECT_TRUE(IsFile(file));

    const std::wstring tree = temp / L"a\\b\\c";
    EXPECT_EQ(files::CreateFolderTree(tree), 0u);
    EXPECT_TRUE(IsFolder(tree));
    EXPECT_EQ(files::CreateFolderTree(tree), 0u);
    EXPECT_TRUE(temp.Remove());
}
