#include "shell/FileUtilities.h"

#include "ids/files.h"
#include "shell/tests/ShellTestSupport.h"

#include <filesystem>

namespace {

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
        L"victim",
        L".\\victim",
        L"victim\\..\\victim",
        drive + L"victim",
        L"\\" + temp.Path().substr(3) + L"\\victim",
        drive + L"\\",
        drive + L"/",
        drive,
        drive + L"\\.",
        temp.Path() + L"\\..\\..\\..\\..\\..\\..\\..\\..",
        L"\\\\server\\share",
        L"\\\\server\\share\\",
        L"\\\\?\\" + drive + L"\\",
        L"\\\\?\\UNC\\server\\share",
        drive + L"\\*",
        temp.Path() + L"\\vict?m",
        temp.Path() + L"\\*",
        L"\\\\.\\UNC\\server\\share",
        L"\\\\?\\unc\\server\\share\\",
        L"\\\\.\\GLOBALROOT\\Device\\NoSuchVolume9",
        L"\\\\?\\globalroot\\Device\\NoSuchVolume9\\",
        L"\\\\?\\" + drive + L"\\nowhere\\..",
        L"\\\\?\\" + drive + L"\\nowhere\\.\\..\\",
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
