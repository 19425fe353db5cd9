#include "inet/HttpConnection.h"
#include "inet/HttpFile.h"
#include "inet/InternetException.h"
#include "inet/InternetSession.h"
#include "inet/InternetStatusCallbackBS.h"
#include "inet/tests/TestServer.h"

namespace {

// A blocking session to the test server with one request sent.
struct CBlockingExchange {
    CInternetSession session;
    CHttpConnection connection;
    CHttpFile request;

    CBlockingExchange(const wchar_t* agent, const wchar_t* verb, const std::wstring& path)
        : session(agent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0)
    {
        EXPECT_EQ(connection.Connect(session, L"127.0.0.1", TestServerPort()), S_OK);
        EXPECT_EQ(request.OpenRequest(connection, verb, path.c_str(), nullptr, nullptr, nullptr,
                                      INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE),
                  S_OK);
    }
    std::string Body()
    {
        std::string body;
        request.ReadAll(body);
        return body;
    }
};

TEST(HttpHandles, BlockingGetSendsTheProgramNameAndAnyAcceptType)
{
    REQUIRE_TEST_SERVER();
    CBlockingExchange x(nullptr, L"GET", L"/echo/get");
    EXPECT_EQ(x.request.SendRequest(nullptr, 0, nullptr, 0), S_OK);
    const std::string echo = x.Body();
    EXPECT_EQ(echo.rfind("GET /echo/get HTTP/1.1\r\n", 0), 0u) << echo;
    EXPECT_NE(echo.find("User-Agent: inet_tests\r\n"), std::string::npos) << echo;
    EXPECT_NE(echo.find("Accept: */*\r\n"), std::string::npos) << echo;
    std::wstring status;
    x.request.QueryInfo(HTTP_QUERY_STATUS_CODE, status);
    EXPECT_EQ(status, L"200");
    DWORD length = 0;
    x.request.QueryContentLength(length);
    EXPECT_EQ(length, echo.size());
}

TEST(HttpHandles, BlockingFormsCarryTheirTypeAndBytes)
{
    REQUIRE_TEST_SERVER();
    const struct {
        const wchar_t* charset;
        const char* type;
    } cases[] = {{L"", "Content-Type: application/x-www-form-urlencoded\r\n"},
                 {L"utf-8", "Content-Type: application/x-www-form-urlencoded;charset=utf-8\r\n"}};
    for (const auto& c : cases) {
        CBlockingExchange x(L"form-agent", L"POST", L"/echo/form");
        EXPECT_EQ(x.request.SendForm(std::string("a=1&b=%E3"), c.charset), S_OK);
        const std::string echo = x.Body();
        EXPECT_NE(echo.find(c.type), std::string::npos) << echo;
        EXPECT_NE(echo.find("User-Agent: form-agent\r\n"), std::string::npos);
        EXPECT_NE(echo.find("Content-Length: 9\r\n"), std::string::npos) << echo;
        EXPECT_EQ(echo.substr(echo.size() - 13), "\r\n\r\na=1&b=%E3");
    }
    CBlockingExchange wide(L"form-agent", L"POST", L"/echo/wide");
    EXPECT_EQ(wide.request.SendForm(std::wstring(L"x=y z"), L""), S_OK);
    const std::string echo = wide.Body();
    EXPECT_EQ(echo.substr(echo.size() - 9), "\r\n\r\nx=y z");
}

TEST(HttpHandles, ReadAllOfNothingAndQueriesOfMissingHeaders)
{
    REQUIRE_TEST_SERVER();
    CBlockingExchange x(L"a", L"GET", L"/bytes/0");
    EXPECT_EQ(x.request.SendRequest(nullptr, 0, nullptr, 0), S_OK);
    EXPECT_EQ(x.Body(), "");
    SYSTEMTIME time{};
    try {
        x.request.QueryLastModified(time);
        ADD_FAILURE() << "no Last-Modified header";
    } catch (const CInternetException& e) {
        EXPECT_EQ(e.m_id, 59363u);
        EXPECT_EQ(e.GetErrorNumber(), static_cast<DWORD>(ERROR_HTTP_HEADER_NOT_FOUND));
    }
    CBlockingExchange dated(L"a", L"GET", L"/last-modified");
    EXPECT_EQ(dated.request.SendRequest(nullptr, 0, nullptr, 0), S_OK);
    dated.request.QueryLastModified(time);
    EXPECT_EQ(time.wYear, 1994);
    EXPECT_EQ(time.wMonth, 11);
    EXPECT_EQ(time.wDay, 15);
    EXPECT_EQ(time.wHour, 8);
}

TEST(HttpHandles, ClosingWithoutASessionLeavesTheHandleToTheDestructor)
{
    CHttpConnection connection;
    EXPECT_TRUE(connection.Close());
    CHttpFile request;
    EXPECT_TRUE(request.Close());
    CInternetSession session;
    EXPECT_EQ(session.Open(L"a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0), S_OK);
    EXPECT_FALSE(session.IsAsync());
    EXPECT_TRUE(session.Close());
    EXPECT_EQ(session.GetHandle(), nullptr);
}

TEST(HttpHandles, TheSessionIsTheContextValueAtPointerSize)
{
    CInternetSession session(L"a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    EXPECT_TRUE(session.IsAsync());
    CInternetStatusCallbackBS callback;
    session.SetStatusCallback(&callback);
    DWORD_PTR context = 0;
    DWORD size = sizeof(context);
    ASSERT_TRUE(::InternetQueryOptionW(session.GetHandle(), INTERNET_OPTION_CONTEXT_VALUE, &context, &size));
    EXPECT_EQ(size, sizeof(void*));
    EXPECT_EQ(context, session.GetContextValue());
    CInternetSession other;
    EXPECT_NE(other.GetContextValue(), session.GetContextValue());
    EXPECT_EQ(sizeof(INTERNET_BUFFERSA), sizeof(void*) == 8 ? 56u : 40u);
}

TEST(HttpHandles, AnAsynchronousSessionWithoutCallbackFailsInsteadOfCrashing)
{
    REQUIRE_TEST_SERVER();
    CInternetSession session(L"a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    CHttpConnection connection;
    ASSERT_EQ(connection.Connect(session, L"127.0.0.1", TestServerPort()), S_OK);
    CHttpFile request;
    ASSERT_EQ(request.OpenRequest(connection, L"GET", L"/bytes/10", nullptr, nullptr, nullptr, INTERNET_FLAG_RELOAD),
              S_OK);
    const HRESULT hr = request.SendRequestEx();
    if (hr == S_OK) GTEST_SKIP() << "the send did not pend here";
    EXPECT_EQ(hr, E_UNEXPECTED);
}

TEST(HttpHandles, AsynchronousRequestWaitsOnTheCallback)
{
    REQUIRE_TEST_SERVER();
    CInternetStatusCallbackBS callback;
    CInternetSession session(L"a", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, INTERNET_FLAG_ASYNC);
    session.SetStatusCallback(&callback);
    CHttpConnection connection;
    ASSERT_EQ(connection.Connect(session, L"127.0.0.1", TestServerPort()), S_OK);
    CHttpFile request;
    ASSERT_EQ(request.OpenRequest(connection, L"GET", L"/bytes/3000", nullptr, nullptr, nullptr, INTERNET_FLAG_RELOAD),
              S_OK);
    ASSERT_EQ(request.SendRequestEx(), S_OK);
    ASSERT_EQ(request.EndRequest(), S_OK);
    std::string body;
    char block[1000];
    for (;;) {
        INTERNET_BUFFERSA buffers{};
        buffers.dwStructSize = sizeof(buffers);
        buffers.lpvBuffer = block;
        buffers.dwBufferLength = sizeof(block);
        ASSERT_EQ(request.ReadEx(buffers), S_OK);
        if (buffers.dwBufferLength == 0) break;
        body.append(block, buffers.dwBufferLength);
    }
    EXPECT_EQ(body, PatternBytes(0, 3000));
    EXPECT_TRUE(request.Close());
    EXPECT_TRUE(connection.Close());
}

} // namespace
