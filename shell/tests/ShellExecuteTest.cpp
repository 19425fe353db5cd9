#include "shell/ShellExecute.h"

#include "ids/shellops.h"
#include "shell/tests/ShellTestSupport.h"

#include <shellapi.h>

#include <algorithm>

namespace {

// The folder windows of Explorer that stand: "CabinetWClass" on Windows, "ExplorerWClass" under Wine.
std::vector<HWND> ExplorerWindows()
{
    std::vector<HWND> windows;
    ::EnumWindows(
        [](HWND hWnd, LPARAM list) {
            wchar_t name[32] = L"";
            ::GetClassNameW(hWnd, name, 32);
            if (::IsWindowVisible(hWnd) && (!wcscmp(name, L"CabinetWClass") || !wcscmp(name, L"ExplorerWClass")))
                reinterpret_cast<std::vector<HWND>*>(list)->push_back(hWnd);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::wstring TitleOf(HWND hWnd)
{
    wchar_t title[256] = L"";
    ::GetWindowTextW(hWnd, title, 256);
    return title;
}

TEST(ShellExecuteErrors, ResultsMapToSystemErrors)
{
    const std::pair<INT_PTR, DWORD> cases[] = {
        {0, ERROR_OUTOFMEMORY},
        {SE_ERR_OOM, ERROR_OUTOFMEMORY},
        {SE_ERR_FNF, ERROR_FILE_NOT_FOUND},
        {SE_ERR_PNF, ERROR_PATH_NOT_FOUND},
        {SE_ERR_ACCESSDENIED, ERROR_ACCESS_DENIED},
        {ERROR_BAD_FORMAT, ERROR_BAD_FORMAT},
        {SE_ERR_SHARE, ERROR_SHARING_VIOLATION},
        {SE_ERR_ASSOCINCOMPLETE, ERROR_NO_ASSOCIATION},
        {SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        {SE_ERR_DDETIMEOUT, ERROR_TIMEOUT},
        {SE_ERR_DDEFAIL, ERROR_DDE_FAIL},
        {SE_ERR_DDEBUSY, ERROR_BUSY},
        {SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},
        {33, ERROR_SUCCESS},
        {0x10000, ERROR_SUCCESS},
        {-1, ERROR_INVALID_FUNCTION},
        {1, ERROR_INVALID_FUNCTION},
        {25, ERROR_INVALID_FUNCTION},
    };
    for (const auto& [result, error] : cases) EXPECT_EQ(ShellExecuteErrorToWin32(result), error) << result;
}

TEST(ShellExecuteErrors, MissingFilesAreReportedAndAStartedProgramIsWaitedFor)
{
    CTempFolder temp;
    const std::wstring missing = temp / L"missing.exe";
    const my::CException e = CaughtOf([&] { ShellExecuteOrThrow(missing, L""); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_SHELL_EXECUTE_FAILED));
    EXPECT_EQ(e.m_code, 0x80070002u);
    // A missing item is refused before Explorer is started.
    EXPECT_EQ(CaughtOf([&] { OpenExplorerSelect(temp / L"gone.jpg"); }).m_code, 0x80070003u);

    DWORD code = 0;
    EXPECT_TRUE(ShellExecuteExAndWait(L"cmd.exe", L"/c exit 7", L"", nullptr, SW_HIDE, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_FALSE(ShellExecuteExAndWait(missing, L"", L"", nullptr, SW_HIDE, &code));
}

// Explorer opens on the item's folder: a new window, titled with the folder's name, on Windows and
// under Wine alike (Wine's explorer told "/n," first shows the desktop).
TEST(ExplorerSelect, ANewWindowOpensOnTheFolderOfTheItem)
{
    CTempFolder temp;
    const std::wstring item = temp.WriteFile(L"IMG_0001.JPG", "1234");
    const std::wstring folder = temp.Path().substr(temp.Path().rfind(L'\\') + 1);
    const std::vector<HWND> before = ExplorerWindows();
    OpenExplorerSelect(item);
    std::vector<HWND> opened;
    bool onFolder = false;
    for (int i = 0; i < 100 && !onFolder; ++i) {
        ::Sleep(100);
        opened = ExplorerWindows();
        std::erase_if(opened, [&](HWND w) { return std::find(before.begin(), before.end(), w) != before.end(); });
        onFolder = std::any_of(opened.begin(), opened.end(), [&](HWND w) { return TitleOf(w) == folder; });
    }
    std::wstring titles;
    for (const HWND w : opened) titles += L"[" + TitleOf(w) + L"] ";
    EXPECT_TRUE(onFolder) << "opened: " << testing::PrintToString(titles);
    for (const HWND w : opened) ::PostMessageW(w, WM_CLOSE, 0, 0);
    for (int i = 0; i < 50 && std::any_of(opened.begin(), opened.end(), ::IsWindow); ++i) ::Sleep(100);
    EXPECT_FALSE(std::any_of(opened.begin(), opened.end(), ::IsWindow)) << "an Explorer window stayed open";
}

} // namespace
