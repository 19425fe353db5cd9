#include "shell/FileUtilities.h"

#include "foundation/ResString.h"
#include "ids/files.h"
#include "shell/tests/ShellTestSupport.h"

#include <filesystem>

namespace {

TEST(FileUtilities, FolderTreesAreMadeAndAFileInTheWayIsNoFolder)
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
    const my::CException e = CaughtOf([&] { files::CreateFolderOrThrow(file); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_CREATE_FOLDER_FAILED));
    EXPECT_EQ(e.m_code, static_cast<UINT>(HResultFromWin32(ERROR_ALREADY_EXISTS)));
    EXPECT_NE(e.m_message.find(file), std::wstring::npos);
    EXPECT_THROW(files::CreateParentFolderOrThrow(file + L"\\x.txt"), my::CException);
    EXPECT_EQ(temp.ReadFile(L"pictures"), "not a folder");
}

// The silent recursive delete takes a folder named in full below a root, and nothing else.
TEST(FileUtilities, SilentFolderDeleteRefusesRelativePathsAndRoots)
{
    CTempFolder temp;
    temp.WriteFile(L"victim\\keep.txt", "keep");
    wchar_t saved[MAX_PATH] = L"";
    ::GetCurrentDirectoryW(MAX_PATH, saved);
    ASSERT_TRUE(::SetCurrentDirectoryW(temp.Path().c_str()));
    const std::wstring drive = temp.Path().substr(0, 2);
    const std::wstring refused[] = {
        L"victim", L".\\victim", L"victim\\..\\victim", drive + L"victim",
        L"\\" + temp.Path().substr(3) + L"\\victim", drive + L"\\", drive + L"/", drive, drive + L"\\.",
        temp.Path() + L"\\..\\..\\..\\..\\..\\..\\..\\..", L"\\\\server\\share", L"\\\\server\\share\\",
        L"\\\\?\\" + drive + L"\\", L"\\\\?\\UNC\\server\\share", drive + L"\\*", temp.Path() + L"\\vict?m",
        temp.Path() + L"\\*",
    };
    for (const std::wstring& path : refused) {
        const my::CException e = CaughtOf([&] { files::DeleteFolderOrThrow(path); });
        EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_DELETE_FOLDER_REFUSED)) << path;
        EXPECT_NE(e.m_message.find(path), std::wstring::npos) << path;
    }
    ::SetCurrentDirectoryW(saved);
    EXPECT_EQ(temp.ReadFile(L"victim\\keep.txt"), "keep");

    EXPECT_EQ(CaughtOf([] { files::DeleteFolderOrThrow(L""); }).m_id, static_cast<UINT>(IDS_DELETE_FOLDER_FAILED));
    files::DeleteFolderOrThrow(temp / L"victim");
    EXPECT_FALSE(std::filesystem::exists(temp / L"victim"));
}

} // namespace
