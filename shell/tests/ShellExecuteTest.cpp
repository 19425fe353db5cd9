#include "shell/ShellExecute.h"

#include "ids/shellops.h"
#include "shell/tests/ShellTestSupport.h"

#include <shellapi.h>

namespace {

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

} // namespace
