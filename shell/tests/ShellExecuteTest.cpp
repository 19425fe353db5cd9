#include "shell/ShellExecute.h"

#include "foundation/ResString.h"
#include "foundation/Exception.h"
#include "ids/shellops.h"
#include "shell/tests/ShellTestSupport.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <algorithm>
#include <set>
#include <vector>

namespace {

struct TopWindows {
    DWORD self;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectTopWindow(HWND hWnd, LPARAM param)
{
    auto* found = reinterpret_cast<TopWindows*>(param);
    DWORD process = 0;
    ::GetWindowThreadProcessId(hWnd, &process);
    if (process != found->self && ::IsWindowVisible(hWnd)) found->windows.push_back(hWnd);
    return TRUE;
}

std::vector<HWND> VisibleWindowsOfOtherProcesses()
{
    TopWindows found{::GetCurrentProcessId(), {}};
    ::EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

template <class F> my::CException CaughtOf(F&& f)
{
    try {
        f();
    } catch (const my::CException& e) {
        return e;
    }
    return my::CException();
}

} // namespace

TEST(ShellExecuteErrors, ResultsMapToSystemErrors)
{
    struct Case {
        INT_PTR result;
        DWORD error;
    };
    const Case cases[] = {
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
    };
    for (const Case& c : cases) EXPECT_EQ(ShellExecuteErrorToWin32(c.result), c.error) << c.result;
    const std::set<INT_PTR> named = {0, 2, 3, 5, 8, 11, 26, 27, 28, 29, 30, 31, 32};
    for (INT_PTR result = -3; result <= 32; ++result) {
        if (named.count(result)) continue;
        EXPECT_EQ(ShellExecuteErrorToWin32(result), static_cast<DWORD>(ERROR_INVALID_FUNCTION)) << result;
    }
}

TEST(ShellExecuteErrors, MissingFileIsThrownWithItsText)
{
    CTempFolder temp;
    const std::wstring missing = temp / L"missing.exe";
    EXPECT_LE(ShellExecuteNoThrow(missing, L""), 32);

    const my::CException e = CaughtOf([&] { ShellExecuteOrThrow(missing, L""); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_SHELL_EXECUTE_FAILED));
    EXPECT_EQ(e.m_code, 0x80070002u);
    // Empty parameters: the text is the file and one blank.
    EXPECT_NE(e.m_message.find(L"\n\n" + missing + L" "), std::wstring::npos) << e.m_message;
    EXPECT_TRUE(e.m_message.ends_with(missing + L" "));
    EXPECT_TRUE(temp.Remove());
}

TEST(ShellExecuteErrors, ExplorerOnAMissingPathOpensNothing)
{
    CTempFolder temp;
    const auto before = VisibleWindowsOfOtherProcesses();
    const my::CException e = CaughtOf([&] { OpenExplorerSelect(temp / L"gone.jpg"); });
    EXPECT_EQ(e.m_id, static_cast<UINT>(IDS_SHELL_EXECUTE_FAILED));
    EXPECT_EQ(e.m_code, 0x80070003u);
    EXPECT_TRUE(e.m_message.ends_with(temp / L"gone.jpg"));
    ::Sleep(500);
    EXPECT_EQ(VisibleWindowsOfOtherProcesses().size(), before.size());
    EXPECT_TRUE(temp.Remove());
}

// Explorer here opens its window without the selection; only the start is checked, and the
// window it opens is closed again.
TEST(ShellExecuteSmoke, ExplorerSelectOpensAWindowThatIsClosedAgain)
{
    CTempFolder temp;
    const std::wstring item = temp / L"IMG 0001 (1).JPG";
    WriteFileBytes(item, "jpeg");
    const auto before = VisibleWindowsOfOtherProcesses();
    OpenExplorerSelect(item);

    std::vector<HWND> opened;
    for (int i = 0; i < 100 && opened.empty(); ++i) {
        ::Sleep(100);
        for (HWND hWnd : VisibleWindowsOfOtherProcesses()) {
            if (std::find(before.begin(), before.end(), hWnd) == before.end()) opened.push_back(hWnd);
        }
    }
    EXPECT_FALSE(opened.empty());
    std::vector<HANDLE> processes;
    for (HWND hWnd : opened) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hWnd, &pid);
        if (HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, pid)) processes.push_back(process);
        ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    }
    for (HANDLE process : processes) {
        EXPECT_EQ(::WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
        ::CloseHandle(process);
    }
    for (HWND hWnd : opened) EXPECT_FALSE(::IsWindow(hWnd) && ::IsWindowVisible(hWnd));
    EXPECT_TRUE(temp.Remove());
}

TEST(ShellExecuteProcess, WaitsForTheStartedProgramAndItsExitCode)
{
    DWORD code = 0;
    EXPECT_TRUE(ShellExecuteExAndWait(L"cmd.exe", L"/c exit 7", L"", nullptr, SW_HIDE, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_TRUE(ShellExecuteExAndWait(L"cmd.exe", L"/c exit 0", L"open", nullptr, SW_HIDE, nullptr));

    CTempFolder temp;
    EXPECT_EQ(ShellExecuteExToProcess(temp / L"missing.exe", L"", L"", nullptr, SW_HIDE), nullptr);
    EXPECT_FALSE(ShellExecuteExAndWait(temp / L"missing.exe", L"", L"", nullptr, SW_HIDE, &code));
    EXPECT_TRUE(temp.Remove());

    HANDLE process = ShellExecuteExToProcess(L"cmd.exe", L"/c exit 3", L"", nullptr, SW_HIDE);
    ASSERT_NE(process, nullptr);
    EXPECT_EQ(::WaitForSingleObject(process, 10000), WAIT_OBJECT_0);
    ::CloseHandle(process);
}

TEST(ShellExecuteProcess, RunAsStartsTheProgram)
{
    DWORD code = 0;
    // Without an elevation prompt here the program simply starts.
    if (!RunAsAndWait(L"cmd.exe", L"/c exit 5", nullptr, SW_HIDE, &code)) GTEST_SKIP() << "no runas verb";
    EXPECT_EQ(code, 5u);
}
