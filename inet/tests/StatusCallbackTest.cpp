#include "inet/InternetStatusCallbackBS.h"
#include "inet/tests/ProgressRecorder.h"
#include "inet/tests/TestServer.h"

#include <string>
#include <thread>

namespace {

// Records which handler ran, through the base class's dispatch.
class CHandlerLog : public CInternetStatusCallback {
public:
    std::wstring m_log;
    void OnResolvingName(CInternetSession*, HINTERNET, void*) override { m_log += L"resolving;"; }
    void OnRequestSent(CInternetSession*, HINTERNET, DWORD n) override { m_log += L"sent" + std::to_wstring(n) + L";"; }
    void OnResponseReceived(CInternetSession*, HINTERNET, DWORD n) override
    {
        m_log += L"received" + std::to_wstring(n) + L";";
    }
    void OnStateChange(CInternetSession*, HINTERNET, DWORD n) override
    {
        m_log += L"state" + std::to_wstring(n) + L";";
    }
    void OnRedirect(CInternetSession*, HINTERNET, const wchar_t* text) override
    {
        m_log += L"redirect:" + std::wstring(text ? text : L"(null)") + L";";
    }
    void OnDetectingProxy(CInternetSession*, HINTERNET) override { m_log += L"proxy;"; }
};

TEST(StatusCallback, NotificationsReachTheirHandlers)
{
    CHandlerLog log;
    DWORD number = 42;
    const wchar_t* where = L"http://h/x";
    const struct {
        DWORD status;
        void* information;
        const wchar_t* expected;
    } cases[] = {{INTERNET_STATUS_RESOLVING_NAME, nullptr, L"resolving;"},
                 {INTERNET_STATUS_REQUEST_SENT, &number, L"sent42;"},
                 {INTERNET_STATUS_RESPONSE_RECEIVED, &number, L"received42;"},
                 {INTERNET_STATUS_STATE_CHANGE, &number, L"state42;"},
                 {INTERNET_STATUS_REDIRECT, const_cast<wchar_t*>(where), L"redirect:http://h/x;"},
                 {INTERNET_STATUS_DETECTING_PROXY, nullptr, L"proxy;"},
                 {140, &number, L""},
                 {0, nullptr, L""}};
    for (const auto& c : cases) {
        log.m_log.clear();
        log.OnStatus(nullptr, nullptr, c.status, c.information, sizeof(DWORD));
        EXPECT_EQ(log.m_log, c.expected) << c.status;
    }
}

TEST(StatusCallback, CompletionsKeepTheirResult)
{
    CInternetStatusCallback callback;
    INTERNET_ASYNC_RESULT refused{0, ERROR_INTERNET_CANNOT_CONNECT};
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REQUEST_COMPLETE, &refused, sizeof(refused));
    EXPECT_TRUE(callback.IsCompleted());
    EXPECT_EQ(callback.GetCompletionResult(), HRESULT_FROM_WIN32(ERROR_INTERNET_CANNOT_CONNECT));
    INTERNET_ASYNC_RESULT noCode{0, 0};
    callback.Reset();
    EXPECT_FALSE(callback.IsCompleted());
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REQUEST_COMPLETE, &noCode, sizeof(noCode));
    EXPECT_EQ(callback.GetCompletionResult(), E_FAIL);
    INTERNET_ASYNC_RESULT created{reinterpret_cast<DWORD_PTR>(&callback), 0};
    callback.Reset();
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_HANDLE_CREATED, &created, sizeof(created));
    EXPECT_EQ(callback.GetHandle(), reinterpret_cast<HINTERNET>(&callback));
    EXPECT_EQ(callback.GetCompletionResult(), S_OK);
}

TEST(StatusCallback, RedirectsProgressAndReports)
{
    CInternetStatusCallbackBS callback;
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REDIRECT, nullptr, 0);
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REDIRECT, const_cast<wchar_t*>(L"http://h/b"), 0);
    const std::list<std::wstring> expected{L"", L"http://h/b"};
    EXPECT_EQ(callback.GetRedirects(), expected);
    // One request adds at most the 21 of a loop that fails; the next request adds its own.
    for (int i = 0; i < 25; ++i)
        callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REDIRECT, const_cast<wchar_t*>(L"http://h/loop"), 0);
    EXPECT_EQ(callback.GetRedirects().size(), 21u);
    callback.BeginRequest();
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REDIRECT, const_cast<wchar_t*>(L"http://h/next"), 0);
    EXPECT_EQ(callback.GetRedirects().size(), 22u);
    EXPECT_EQ(callback.GetRedirects().back(), L"http://h/next");
    DWORD bytes = 100;
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_RESPONSE_RECEIVED, &bytes, sizeof(bytes));
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_RESPONSE_RECEIVED, &bytes, sizeof(bytes));
    EXPECT_EQ(callback.GetProgress(), 200u);
    EXPECT_EQ(callback.ReportProgress(5), S_FALSE);
    EXPECT_EQ(callback.ReportEnd(), S_FALSE);
    CProgressRecorder recorder;
    callback.SetBindStatusCallback(&recorder);
    callback.SetProgressMax(1000);
    EXPECT_EQ(callback.ReportEnd(), S_OK);
    ASSERT_EQ(recorder.m_reports.size(), 1u);
    EXPECT_EQ(recorder.m_reports[0].progress, 0xFFFFFFFFu);
    EXPECT_EQ(recorder.m_reports[0].max, 1000u);
    EXPECT_EQ(recorder.m_reports[0].status, static_cast<ULONG>(BINDSTATUS_ENDDOWNLOADDATA));
}

TEST(StatusCallback, AnAbortAnswersBeforeTheFlagIsRead)
{
    CInternetStatusCallbackBS callback;
    CProgressRecorder recorder;
    recorder.m_abortWhen = [](const CProgressReport&, size_t) { return true; };
    callback.SetBindStatusCallback(&recorder);
    INTERNET_ASYNC_RESULT done{1, 0};
    callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REQUEST_COMPLETE, &done, sizeof(done));
    EXPECT_EQ(callback.Wait(BINDSTATUS_DOWNLOADINGDATA, true), E_ABORT);
    EXPECT_EQ(callback.Wait(BINDSTATUS_DOWNLOADINGDATA, false), S_OK);
}

TEST(StatusCallback, AGivenUpHandlesLateCompletionSettlesItAndCompletesNothingElse)
{
    CInternetStatusCallback callback;
    const auto old = reinterpret_cast<HINTERNET>(0x10);
    callback.WatchClosing(old);
    callback.Reset();
    INTERNET_ASYNC_RESULT done{1, 0};
    callback.OnStatus(nullptr, old, INTERNET_STATUS_REQUEST_COMPLETE, &done, sizeof(done));
    EXPECT_FALSE(callback.IsCompleted());
    EXPECT_TRUE(callback.WaitSettled(0));
    // Once closed, the value may name a new handle, whose completions count again.
    callback.OnStatus(nullptr, old, INTERNET_STATUS_HANDLE_CLOSING, nullptr, 0);
    callback.OnStatus(nullptr, old, INTERNET_STATUS_REQUEST_COMPLETE, &done, sizeof(done));
    EXPECT_TRUE(callback.IsCompleted());
}

TEST(StatusCallback, AWaitWithoutReportsSleepsInsteadOfPolling)
{
    CInternetStatusCallbackBS callback;
    callback.SetTimeout(2500);
    callback.Reset();
    FILETIME created, exited, kernelBefore, userBefore, kernelAfter, userAfter;
    ASSERT_TRUE(::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernelBefore, &userBefore));
    EXPECT_EQ(callback.Wait(0, false), HRESULT_FROM_WIN32(ERROR_INTERNET_TIMEOUT));
    ASSERT_TRUE(::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernelAfter, &userAfter));
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    const ULONGLONG busy = ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
    // A few wake-ups cost nothing measurable; one every millisecond costs tens of milliseconds.
    EXPECT_LT(busy / 10000, 15u);
}

TEST(StatusCallback, WaitsEndWithTheCompletionOrAfterSilence)
{
    CInternetStatusCallbackBS callback;
    callback.SetTimeout(400);
    callback.Reset();
    DWORD start = ::GetTickCount();
    EXPECT_EQ(callback.Wait(0, false), HRESULT_FROM_WIN32(ERROR_INTERNET_TIMEOUT));
    EXPECT_GE(::GetTickCount() - start, 350u);
    EXPECT_LT(::GetTickCount() - start, TestTime(3000));

    // Notifications keep the wait alive; the completion ends it at once, not at the next tick.
    callback.SetTimeout(600);
    callback.Reset();
    std::thread server([&] {
        for (int i = 0; i < 4; ++i) {
            ::Sleep(300);
            callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_RECEIVING_RESPONSE, nullptr, 0);
        }
        INTERNET_ASYNC_RESULT failed{0, ERROR_INTERNET_CONNECTION_RESET};
        callback.OnStatus(nullptr, nullptr, INTERNET_STATUS_REQUEST_COMPLETE, &failed, sizeof(failed));
    });
    start = ::GetTickCount();
    EXPECT_EQ(callback.Wait(0, false), HRESULT_FROM_WIN32(ERROR_INTERNET_CONNECTION_RESET));
    const DWORD spent = ::GetTickCount() - start;
    server.join();
    EXPECT_GE(spent, 1100u);
    EXPECT_LT(spent, TestTime(5000));
}

} // namespace
